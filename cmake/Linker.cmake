# lld links the large test programs in about a third of the time of the default linker.
find_program(CORVALO_LLD ld.lld)
if(CORVALO_LLD)
  add_link_options(-fuse-ld=lld)
endif()
