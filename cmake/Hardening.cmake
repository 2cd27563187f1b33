# Hardening that Debian's own builds add: every relocation resolved at start-up and
# read-only after it, and the checked variants of the C library's buffer functions in
# optimised builds (fortification needs the optimiser; the sanitizers check the same).
add_link_options(-Wl,-z,relro,-z,now)
if(NOT CORVALO_SANITIZE)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo>:_FORTIFY_SOURCE=2>)
endif()
