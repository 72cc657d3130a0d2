# Every test runs through tests/support/hermetic.py, which gives it a machine
# of its own: no caller's desktop variables, fresh HOME and runtime folders, a
# session bus of its own. Register tests with crossing_add_test (or
# add_script_test) and set their properties as usual: at the end of each folder
# the launcher is told which variables the test's ENVIRONMENT sets on purpose
# and the test's TIMEOUT, so that it stops a hung test itself, saying so.
set(CROSSING_HERMETIC_LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/hermetic.py)

# crossing_add_test(NAME COMMAND [ARGUMENT...]), as add_test(NAME ... COMMAND ...);
# a COMMAND that names a target runs that target's program.
function(crossing_add_test name command)
    if(TARGET ${command})
        set(command $<TARGET_FILE:${command}>)
    endif()
    add_test(NAME ${name} COMMAND ${CROSSING_HERMETIC_LAUNCHER} -- ${command} ${ARGN})
    # A test that sets no limit of its own still cannot hang the run.
    set_tests_properties(${name} PROPERTIES CROSSING_HERMETIC ON TIMEOUT 120)
    get_directory_property(sealing CROSSING_SEALING_TESTS)
    if(NOT sealing)
        set_directory_properties(PROPERTIES CROSSING_SEALING_TESTS ON)
        cmake_language(DEFER CALL crossing_seal_tests)
    endif()
endfunction()

# Runs once a folder is read, in its scope: every test of the folder goes
# through the launcher, which learns what the test sets on purpose.
function(crossing_seal_tests)
    get_directory_property(tests TESTS)
    foreach(test IN LISTS tests)
        get_test_property(${test} CROSSING_HERMETIC hermetic)
        if(NOT hermetic)
            message(FATAL_ERROR "Test ${test} does not run through tests/support/hermetic.py: "
                                "register it with crossing_add_test or add_script_test")
        endif()
        set(names "")
        foreach(property IN ITEMS ENVIRONMENT ENVIRONMENT_MODIFICATION)
            get_test_property(${test} ${property} assignments)
            foreach(assignment IN LISTS assignments)
                if(assignment MATCHES "^([A-Za-z_][A-Za-z0-9_]*)=")
                    list(APPEND names ${CMAKE_MATCH_1})
                endif()
            endforeach()
        endforeach()
        list(JOIN names ":" kept)
        get_test_property(${test} TIMEOUT timeout)
        if(NOT timeout)
            set(timeout 0)
        endif()
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
            "CROSSING_TEST_KEEP=${kept}" "CROSSING_TEST_TIMEOUT=${timeout}")
    endforeach()
endfunction()
