dz_add_bench(bench_glyph SOURCES bench_glyph.cpp LIBS dz_app)
