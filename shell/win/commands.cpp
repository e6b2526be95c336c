#include "shell/win/commands.h"

#include <cstdint>

#include "engine/convert.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/options.h"
#include "shell/report/resultmessage.h"
#include "shell/win/dialogs.h"
#include "shell/win/mainwindow.h"

static_assert(CMD_VIB_CH1 == CMD_VIB_OFF + 1 && CMD_VIB_CH16 == CMD_VIB_CH1 + 15, "VIB commands");
static_assert(CMD_LED_CH1 == CMD_LED_OFF + 1 && CMD_LED_CH16 == CMD_LED_CH1 + 15, "LED commands");

static void checkCmd(HMENU menu, int command, bool checked) {
  CheckMenuItem(menu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// One channel menu: its "no channel" item, then channel i + 1 at offCommand + 1 + i.
static void markChannels(HMENU menu, int offCommand, uint16_t mask) {
  checkCmd(menu, offCommand, mask == 0);
  for (int i = 0; i < 16; ++i) checkCmd(menu, offCommand + 1 + i, (mask >> i) & 1);
}

void markChannelMenus(HWND window) {
  HMENU menu = GetMenu(window);
  markChannels(menu, CMD_VIB_OFF, conversionSettings.vibMask);
  markChannels(menu, CMD_LED_OFF, conversionSettings.ledMask);
}

//  channelCommand() - "no channel" clears the mask, a channel toggles its bit
static void channelCommand(HWND window, int offCommand, uint16_t *mask, int command) {
  if (command == offCommand)
    *mask = 0;
  else
    *mask = uint16_t(*mask ^ (1u << (command - offCommand - 1)));
  markChannels(GetMenu(window), offCommand, *mask);
}

//  commandOpen() - CMD_OPEN: the Open dialog, then the conversion
static void commandOpen(HWND window) {
  if (openDialog(window, inputPath)) SendMessageA(window, WM_COMMAND, CMD_CONVERT, 0);
}

//  commandConvert() - CMD_CONVERT: the Save dialog, the conversion of
//  inputPath, and the message that names the phones on which the link works.
//  A conversion that wrote nothing shows nothing: not even a rewrite whose
//  output could not be written claims success.
static void commandConvert(HWND window) {
  char output[256];
  lstrcpynA(output, inputPath, sizeof output);
  if (!saveDialog(window, output)) return;
  if (!convertFile(inputPath, output)) return;
  const ConversionReport &report = conversionSettings.report;
  const Message *text = resultText(report.formatKind, report.formatVersion, conversionSettings.ledChannel);
  if (text) MessageBoxA(window, text->japanese, textResultCaption, MB_OK);
}

void onCommand(HWND window, int command) {
  if (command >= CMD_VIB_OFF && command <= CMD_VIB_CH16) {
    channelCommand(window, CMD_VIB_OFF, &conversionSettings.vibMask, command);
    return;
  }
  if (command >= CMD_LED_OFF && command <= CMD_LED_CH16) {
    channelCommand(window, CMD_LED_OFF, &conversionSettings.ledMask, command);
    return;
  }
  switch (command) {
    case CMD_OPEN: commandOpen(window); break;
    case CMD_CONVERT: commandConvert(window); break;
    case CMD_EXIT: DestroyWindow(window); break;
    case CMD_ABOUT: DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, aboutDlgProc, 0); break;
  }
}

//  aboutDlgProc() - answers false to every message: no initial focus, and
//  the rest is the system's dialog handling
INT_PTR CALLBACK aboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    EndDialog(dialog, LOWORD(wParam));
  return FALSE;
}
