dz_add_bench(bench_glyph SOURCES bench_glyph.cpp QtBenchMain.cpp LIBS dz_app)
