# The main window's File Print goes through the desktop's print dialog.
if(NOT ULV_FUZZ)
  find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
  target_link_libraries(ulvui PUBLIC Qt6::PrintSupport)
endif()
