# psykrona_windows(<sources...>): a folder's windows, which belong to the GUI
# library; nothing when the build has no GUI. Every source is named, so a
# file's library is written where the file lives.
function(psykrona_windows)
  if(TARGET psykrona_gui)
    target_sources(psykrona_gui PRIVATE ${ARGN})
  endif()
endfunction()
