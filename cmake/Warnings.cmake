# Warnings for every target of the project. Qt's own headers come in as system includes through its imported
# targets, so only our code is held to them.
add_compile_options(-Wall -Wextra)
# Stricter still for the application's own targets (src/CMakeLists.txt), not yet for the tests and benchmarks:
# shadowed names, C casts, undefined macros in #if and unchecked format strings warn; text from a char* must say
# its encoding; a connect whose arguments would narrow fails to build.
set(KAVREL_STRICT_OPTIONS -Wshadow -Wold-style-cast -Wundef -Wformat=2)
set(KAVREL_STRICT_DEFINITIONS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_STRICT_ITERATORS
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(KAVREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # Q_ASSERT stays on in the sanitizer build whatever the build type.
  add_compile_definitions(QT_FORCE_ASSERTS)
endif()
if(KAVREL_WERROR)
  add_compile_options(-Werror)
endif()
