# The fuzz targets: built natively with libFuzzer (tests/fuzz/CMakeLists.txt)
# or, for readers that need the Windows build, mutated under Wine (wine/).
set(JOV_FUZZ_NATIVE_TARGETS flap icq xml sasl settings history gif png colors smilies sounds)
set(JOV_FUZZ_WINE_TARGETS chat accounts)
