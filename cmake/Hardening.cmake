# SPDX-License-Identifier: GPL-3.0-or-later
# Every program and the library are built with the hardening Debian 12 builds
# its own packages with (dpkg-buildflags, hardening=+all): the stack
# protector, libc calls checked against the buffer sizes the optimiser knows,
# and relocations made read-only after start-up with every symbol bound at
# once. GCC makes position-independent executables by default.
add_compile_options(-fstack-protector-strong)
# Fortifying needs the optimiser, and would hide from AddressSanitizer the
# calls it checks itself.
if(NOT SANITIZE)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
