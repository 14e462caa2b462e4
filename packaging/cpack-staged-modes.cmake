# Run by cpack once the files are installed into its staging folder, before it packs them
# (CPACK_PRE_BUILD_SCRIPTS): the folders it made there have the modes of the builder's umask
# (0700 under umask 077), which the package would hand on to the folders dpkg makes. They get
# 0755, as the files have their own modes from install().
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(only_folders "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
foreach(path IN LISTS folders)
  if(IS_DIRECTORY "${path}" AND NOT IS_SYMLINK "${path}")
    list(APPEND only_folders "${path}")
  endif()
endforeach()
file(CHMOD ${only_folders} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
