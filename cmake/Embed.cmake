# peakwend_embed(OUT_CPP SYMBOL FILE): compile FILE's bytes into the binary as
#   extern const unsigned char SYMBOL[]; extern const std::size_t SYMBOL_size;
function(peakwend_embed out_cpp symbol file)
  add_custom_command(
    OUTPUT ${out_cpp}
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out_cpp} -DSYMBOL=${symbol}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    COMMENT "Embedding ${file}")
endfunction()
