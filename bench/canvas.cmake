dz_add_bench(bench_canvas SOURCES bench_canvas.cpp LIBS dz_app)
