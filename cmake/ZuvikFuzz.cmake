# Fuzzing build: every library is compiled with coverage instrumentation and AddressSanitizer,
# so libFuzzer sees inside the parsers and any out-of-bounds access stops the run.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ZUVIK_FUZZ needs clang (configure with CXX=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
