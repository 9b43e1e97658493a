# Installing on Windows: one folder under Program Files with the programs,
# the data files beside them and the sets in fonts/; and its installer,
# made by `cpack -G NSIS64` in the build directory.

install(TARGETS pixtrel-extract RUNTIME DESTINATION .)
install(FILES LICENSE packaging/copyright DESTINATION .)
