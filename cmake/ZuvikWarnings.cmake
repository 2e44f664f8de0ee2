# Warnings every target of ours compiles with.
function(zuvik_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS)
endfunction()

# Tests build with the common warnings only: GoogleTest's macros trip -Wshadow, and string
# literals are fine there.
function(zuvik_test_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
