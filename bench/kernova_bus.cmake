# The editor over the bus: one glyph transfer as the lettering tool sends it.
dz_add_bench(bench_bus_transfer SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_bus_transfer.cpp LIBS Qt6::DBus)
target_compile_definitions(bench_bus_transfer PRIVATE KERNOVA_EXECUTABLE="$<TARGET_FILE:kernova>")
add_dependencies(bench_bus_transfer kernova)
# The editor's window: painting the glyph grid of a 7,000-glyph font.
dz_add_bench(bench_grid SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_grid.cpp LIBS kernova_app)
