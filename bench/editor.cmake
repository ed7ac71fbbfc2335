# The lettering tool's glyph send: one "Kernova" press against a running editor.
dz_add_bench(bench_send SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_send.cpp LIBS dz_app)
target_compile_definitions(bench_send PRIVATE KERNOVA_EXECUTABLE="$<TARGET_FILE:kernova>")
add_dependencies(bench_send kernova)
