# The lettering tool's glyph send: one "Kernova" press against a running editor.
dz_add_bench(bench_send SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_send.cpp LIBS dz_app)
target_compile_definitions(bench_send PRIVATE KERNOVA_EXECUTABLE="$<TARGET_FILE:kernova>")
add_dependencies(bench_send kernova)
# Rebuilding a 7,000-glyph Japanese font from stroke files: Send All against one by one.
dz_add_bench(bench_rebuild SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_rebuild.cpp LIBS dz_app)
target_compile_definitions(bench_rebuild PRIVATE KERNOVA_EXECUTABLE="$<TARGET_FILE:kernova>")
add_dependencies(bench_rebuild kernova)
