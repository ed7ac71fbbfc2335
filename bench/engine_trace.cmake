# The font engine: importing a glyph bitmap (read + trace + convert), and the potrace
# command on the same file for comparison.
dz_add_bench(bench_trace SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_trace.cpp LIBS kernova_engine)
