# Warnings and Qt's strictness switches for every target of the project. Qt's own headers come in as system
# includes through its imported targets, so only our code is held to these.
add_compile_options(-Wall -Wextra -Wshadow -Wold-style-cast -Wundef -Wformat=2)
# Text from a char* must say its encoding; a connect whose arguments would narrow fails to build.
add_compile_definitions(QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_STRICT_ITERATORS
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
