// The program's texts, each written once. The source is UTF-8; the Windows
// build compiles it to Shift-JIS (code page 932), half-width katakana
// included, while the native converter prints it as UTF-8.
#pragma once

#include "resources/version.h"

// Texts of the menu and the About box. The resource script takes them as
// macros (it has no C++ constants); the resource compiler turns them into
// UTF-16, which the menu functions give back in Shift-JIS.
#define TEXT_MENU_FILE "ﾌｧｲﾙ(&F)"
#define TEXT_MENU_OPEN "開く(&O)"
#define TEXT_MENU_EXIT "終了(&X)"
#define TEXT_MENU_VIB "VIB連動CH"
#define TEXT_MENU_LED "LED連動CH"
#define TEXT_MENU_NO_CHANNEL "解除"
#define TEXT_MENU_HELP "ﾍﾙﾌﾟ(&H)"
#define TEXT_MENU_ABOUT "ﾊﾞｰｼﾞｮﾝ情報(&A)"
#define TEXT_ABOUT_CAPTION "About"
#define TEXT_ABOUT_OK "OK"

#ifndef RC_INVOKED

// Window title and the hint painted in the main window.
inline constexpr char textTitle[] = "Sorbelin (V" SORBELIN_VERSION ")";
inline constexpr char textHint[] = "mld/mmfﾌｧｲﾙをﾄﾞﾛｯﾌﾟ♪";

// Result messages after a conversion, and their caption.
inline constexpr char textResultCaption[] = "変換情報";
inline constexpr char textResultImelodyV2Led[] = "次の機種で連動できます。\n\nN210i/N503i/N504i";
inline constexpr char textResultImelodyV2[] = "次の機種で連動できます。\n\nN210i/N211i/N503i/N504i";
inline constexpr char textResultImelodyV3[] = "次の機種で連動できます。\n\nN504i";
inline constexpr char textResultSmaf16[] = "16和音機種で連動できます。";
inline constexpr char textResultSmaf40[] = "40和音機種で連動できます。";

// Filter lists of the Open and Save dialogs: label, pattern, ..., closed by
// one more zero byte (the literal's own terminator).
inline constexpr char textOpenFilter[] =
    "全てのﾒﾛﾃﾞｨﾌｧｲﾙ\0*.mld;*.mmf\0"
    "iﾒﾛﾃﾞｨﾌｧｲﾙ(*.mld)\0*.mld\0"
    "J-SKY/EZweb用SMAFﾌｧｲﾙ(*.mmf)\0*.mmf\0";
inline constexpr char textSaveFilter[] = "全てのﾌｧｲﾙ\0*.*\0";

// What the native program's --version prints.
inline constexpr char textVersion[] = "sorbelin " SORBELIN_VERSION;

#endif  // RC_INVOKED
