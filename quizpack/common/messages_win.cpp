#include "quizpack/common/messages.h"

#include <windows.h>

Language systemLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_FRENCH ? Language::French
                                                                    : Language::English;
}
