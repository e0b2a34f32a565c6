# Read by ctest after the discovered tests: the long exchanges carry the label slow besides wire
# (service_add_test hands only its first label to the discovered tests).
if(DEFINED wire_usbdevice_link_test_TESTS)
    set_tests_properties(${wire_usbdevice_link_test_TESTS} PROPERTIES LABELS "wire;slow")
endif()
