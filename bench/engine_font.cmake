# The font engine: saving and opening a 7,000-glyph Japanese font, and fontTools
# building the same outlines (bench/font_save_fonttools.py) for comparison.
dz_add_bench(bench_font_save SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_font_save.cpp LIBS kernova_engine)
target_compile_definitions(bench_font_save PRIVATE DZ_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
