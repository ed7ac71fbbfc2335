# Pen input: draining a full tablet packet queue.
dz_add_bench(bench_tablet SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_tablet.cpp ${CMAKE_CURRENT_SOURCE_DIR}/QtBenchMain.cpp LIBS dz_app)
