// Resource and command identifiers, shared by the resource script and the
// code. The channel commands are contiguous: a command's offset from the
// first channel is the bit number in its mask.
#pragma once

#define IDR_MAINMENU 1
#define IDD_ABOUT 1

#define CMD_OPEN 101
#define CMD_CONVERT 102
#define CMD_EXIT 103

#define CMD_VIB_OFF 200
#define CMD_VIB_CH1 201
#define CMD_VIB_CH16 216

#define CMD_LED_OFF 220
#define CMD_LED_CH1 221
#define CMD_LED_CH16 236

#define CMD_ABOUT 301
