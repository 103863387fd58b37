# SPDX-License-Identifier: GPL-3.0-or-later
# Every program and the library are built with the hardening Debian 12 builds
# its own packages with (dpkg-buildflags, hardening=+all): the stack
# protector, libc calls checked against the buffer sizes the optimiser knows,
# and relocations made read-only after start-up with every symbol bound at
# once. GCC makes position-independent executables by default.
add_compile_options(-fstack-protector-strong)
# Fortifying needs the optimiser, and would hide from AddressSanitizer the
# calls it checks itself. TRES_FORTIFIED is 1 in the builds that fortify.
set(TRES_FORTIFIED "$<AND:$<NOT:$<BOOL:${SANITIZE}>>,$<CONFIG:Release,RelWithDebInfo,MinSizeRel>>")
add_compile_definitions($<${TRES_FORTIFIED}:_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)
