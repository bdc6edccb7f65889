# Replays hold only input, so every build must compute the simulation's
# floating point alike: no fused multiply-add contraction, no fast-math.
add_compile_options(-ffp-contract=off)
string(TOUPPER "${CMAKE_BUILD_TYPE}" skirmora_build_type)
if("${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${skirmora_build_type}}" MATCHES "fast-math|-Ofast")
  message(FATAL_ERROR "Skirmora is built without -ffast-math and -Ofast: replays depend on exact arithmetic.")
endif()
