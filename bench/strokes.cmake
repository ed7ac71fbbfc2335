dz_add_bench(bench_strokefile SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_strokefile.cpp LIBS dz_strokes)
