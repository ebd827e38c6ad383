# Writes OUT, a C++ file holding the texts of CSS and JS as string views.
file(READ "${CSS}" css)
file(READ "${JS}" js)
file(WRITE "${OUT}.new"
  "// Generated from src/report/modern/assets/ at build time.\n"
  "#include \"report/modern/modern_assets.h\"\n"
  "namespace vorel {\n"
  "extern const std::string_view kModernCssText = R\"vorelcov_asset(${css})vorelcov_asset\";\n"
  "extern const std::string_view kModernJsText = R\"vorelcov_asset(${js})vorelcov_asset\";\n"
  "}  // namespace vorel\n")
file(RENAME "${OUT}.new" "${OUT}")
