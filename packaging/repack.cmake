# SPDX-FileCopyrightText: 2026 The Tovarine team
# SPDX-License-Identifier: GPL-2.0-or-later

# Run by CPack once it has built the packages, to finish them as Debian's own tools would:
# - the debug-symbol package (CPack names it .ddeb) gets its documentation (a link to the game's,
#   which it depends on) and a md5sums file with the packaged paths instead of CPack's build paths;
# - the programs lose the compiler's .comment section, as Debian's strip removes it.
find_program(DPKG_DEB dpkg-deb REQUIRED)
find_program(OBJCOPY objcopy REQUIRED)

function(repack package)
    set(tree ${package}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND ${DPKG_DEB} --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${DPKG_DEB} --field ${package} Package
        OUTPUT_VARIABLE name OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    if(name MATCHES "^(.*)-dbgsym$")
        file(MAKE_DIRECTORY ${tree}/usr/share/doc)
        file(CREATE_LINK ${CMAKE_MATCH_1} ${tree}/usr/share/doc/${name} SYMBOLIC)
    endif()
    file(GLOB programs ${tree}/usr/libexec/*/*)
    foreach(program IN LISTS programs)
        execute_process(COMMAND ${OBJCOPY} --remove-section=.comment ${program}
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/usr/*)
    list(SORT files)
    set(sums "")
    foreach(path IN LISTS files)
        if(NOT IS_SYMLINK ${tree}/${path})
            file(MD5 ${tree}/${path} sum)
            string(APPEND sums "${sum}  ${path}\n")
        endif()
    endforeach()
    file(WRITE ${tree}/DEBIAN/md5sums "${sums}")
    file(REMOVE ${package})
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zxz --build ${tree} ${package}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(package MATCHES "-dbgsym_.*\\.ddeb$" OR package MATCHES "/tovarine_[^/]*\\.deb$")
        repack(${package})
    endif()
endforeach()
