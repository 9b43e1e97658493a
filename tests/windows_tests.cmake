# The tests of the Windows build beyond the suites, run on the build
# machine with the Windows programs under Wine.
