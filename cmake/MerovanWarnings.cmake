# One place for the warning flags every target of ours is built with.
add_library(merovan_warnings INTERFACE)
target_compile_options(merovan_warnings INTERFACE -Wall -Wextra -Wpedantic)
