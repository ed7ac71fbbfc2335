dz_add_bench(bench_canvas SOURCES bench_canvas.cpp QtBenchMain.cpp LIBS dz_app)
