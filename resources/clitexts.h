// Texts of the native converter `sorbelin`, each written once in English and
// in Japanese: its help, its usage errors, the line it prints for each input
// that fails, and the terminal's questions. The lines that name a file are printf formats, with their
// conversions in the same order in both languages.
#pragma once

#include "resources/messages.h"

inline constexpr Message msgUsage = {
    "usage: sorbelin [--vib LIST] [--led LIST] [--all-tracks] (-o OUT | -d DIR | --in-place)\n"
    "                [-r] INPUT...\n"
    "       sorbelin --info [--json] [-r] FILE...\n"
    "       sorbelin --suggest [--json] [--all-tracks] [-r] FILE...\n"
    "       sorbelin --timeline [--vib LIST] [--led LIST] [--width N] [--json] FILE...\n"
    "       sorbelin INPUT [/vc:MASK] [/lc:MASK] [/sv:OUT] [/end]\n"
    "\n"
    "Writes a copy of an i-melody (.mld) or SMAF (.mmf) ring melody in which the\n"
    "phone's vibrator and LED follow the chosen melody channels.\n"
    "\n"
    "  -v, --vib LIST    channels that drive the vibrator (default 1)\n"
    "  -l, --led LIST    channels that drive the LED (default 1)\n"
    "                    LIST: channels 1-16 and ranges, like 1,3,9-12, or none,\n"
    "                    or keep (the channels that the file links now), or auto\n"
    "                    (the channels suggested for each file, as --suggest says)\n"
    "      --all-tracks  link SMAF score tracks 6 and 7 too (files for newer\n"
    "                    phones); without it they are left as they are\n"
    "  -o, --output OUT  write the one INPUT's result to OUT; - is standard output\n"
    "  -d, --dir DIR     write each INPUT's result under its own name into DIR,\n"
    "                    created when missing\n"
    "  -i, --in-place    rewrite each INPUT; needs --vib or --led\n"
    "  -r, --recursive   take every .mld and .mmf file in the folders named, and\n"
    "                    with -d recreate their tree under DIR (with --info or\n"
    "                    --suggest: report on each)\n"
    "  -q, --quiet       print nothing after a conversion, nor the warnings\n"
    "  -I, --info        report what each FILE holds (format, title, links, notes\n"
    "                    per channel); writes nothing\n"
    "  -T, --timeline    draw when each channel of each FILE plays, and the vibration\n"
    "                    and LED that --vib and --led would give it; writes nothing\n"
    "  -S, --suggest     suggest the channels for the vibrator and the LED of each\n"
    "                    FILE, with the reasons and what each channel plays;\n"
    "                    writes nothing\n"
    "      --width N     with --timeline: lines of N columns, 20 to 1000 (default:\n"
    "                    the terminal's width, or 64)\n"
    "      --json        with --info, --timeline or --suggest: one JSON object per\n"
    "                    line and file\n"
    "  -h, --help        show this text\n"
    "      --version     show the version\n"
    "\n"
    "An INPUT or FILE of - is standard input. Short options may be written\n"
    "together, values may follow '=' (--vib=2), and -- ends the options. After\n"
    "each conversion one line says what the file now carries (out.mld:\n"
    "vibration 2, LED 1), and why, where it could not hold every channel asked\n"
    "for; with auto it names what the suggested channels play (vibration 6\n"
    "(suggested: bass)). A line follows where the phone will disappoint: a\n"
    "linked channel that never plays, pulses too short to feel, a vibrator that\n"
    "runs almost all the time (with --timeline too, on standard error). When\n"
    "the result goes to standard output, the messages after it go to standard\n"
    "error. A run of several files ends with a count on standard error\n"
    "(sorbelin: 35 converted, 1 failed).\n"
    "\n"
    "The second form is the Windows program's own, chosen when no argument\n"
    "begins with '-': each argument is one option or the input path, whole.\n"
    "/vc: and /lc: take decimal masks (bit 0 is channel 1), /sv: the output\n"
    "path; without /sv: the output path is asked for. An argument beginning with\n"
    "'/' is an option there, so absolute paths need the first form.\n"
    "\n"
    "examples:\n"
    "  sorbelin --vib 2 --led 1 -o out.mld tune.mld\n"
    "  sorbelin -v 1,3 -l none -d converted/ *.mld *.mmf\n"
    "  sorbelin -r -d converted/ ringtones/\n"
    "  sorbelin --in-place --vib 2 --led keep ringtone.mmf\n"
    "  cat tune.mld | sorbelin -q --vib=2 -o - - | xxd\n"
    "  sorbelin tune.mld /vc:3 /lc:5 /sv:out.mld /end\n"
    "  sorbelin --info --json *.mld\n"
    "  sorbelin --timeline --vib 2 --led 1 tune.mmf\n"
    "  sorbelin --suggest tune.mmf\n"
    "  sorbelin --vib auto --led auto -d converted/ *.mld *.mmf\n"
    "\n"
    "Exit status: 0 when every input was converted (with --info, --timeline or\n"
    "--suggest: read and recognised), 1 when any failed, 2 for a usage error.\n",
    "使い方: sorbelin [--vib LIST] [--led LIST] [--all-tracks] (-o OUT | -d DIR | --in-place)\n"
    "                 [-r] INPUT...\n"
    "        sorbelin --info [--json] [-r] FILE...\n"
    "        sorbelin --suggest [--json] [--all-tracks] [-r] FILE...\n"
    "        sorbelin --timeline [--vib LIST] [--led LIST] [--width N] [--json] FILE...\n"
    "        sorbelin INPUT [/vc:MASK] [/lc:MASK] [/sv:OUT] [/end]\n"
    "\n"
    "i-melody (.mld) または SMAF (.mmf) の着信メロディを、携帯電話のバイブと LED が\n"
    "選んだメロディのチャンネルに連動するように書き換えた複製を作ります。\n"
    "\n"
    "  -v, --vib LIST    バイブを連動させるチャンネル (既定は 1)\n"
    "  -l, --led LIST    LED を連動させるチャンネル (既定は 1)\n"
    "                    LIST: 1〜16 のチャンネルと範囲 (1,3,9-12 など)、none、\n"
    "                    keep (ファイルが今連動しているチャンネル)、または auto\n"
    "                    (ファイルごとのおすすめのチャンネル。--suggest が示すもの)\n"
    "      --all-tracks  SMAF のスコアトラック 6 と 7 (新しい機種向けのファイル) も\n"
    "                    連動させる。指定しなければそのまま残す\n"
    "  -o, --output OUT  ただ一つの INPUT の結果を OUT に書き出す。- は標準出力\n"
    "  -d, --dir DIR     各 INPUT の結果を同じ名前で DIR に書き出す。DIR がなければ作る\n"
    "  -i, --in-place    各 INPUT をその場で書き換える (--vib か --led が必要)\n"
    "  -r, --recursive   指定したフォルダの中の .mld と .mmf をすべて変換する。\n"
    "                    -d と使うとフォルダの構成を DIR の下に作り直す\n"
    "                    (--info か --suggest と使うとそれぞれについて表示する)\n"
    "  -q, --quiet       変換の後に何も表示しない (注意も表示しない)\n"
    "  -I, --info        各 FILE の中身 (形式、タイトル、連動、チャンネルごとの音符数) を\n"
    "                    表示する。何も書き出さない\n"
    "  -T, --timeline    各 FILE のチャンネルが鳴る時間と、--vib と --led によるバイブと\n"
    "                    LED の動きを図で表示する。何も書き出さない\n"
    "  -S, --suggest     各 FILE でバイブと LED に合うチャンネルを、その理由と\n"
    "                    各チャンネルが演奏するパートとともに示す。何も書き出さない\n"
    "      --width N     --timeline と使い、一行を N 桁 (20〜1000) にする\n"
    "                    (既定は端末の幅、または 64)\n"
    "      --json        --info、--timeline、--suggest と使い、ファイルごとに\n"
    "                    JSON オブジェクトを一行で出す\n"
    "  -h, --help        この説明を表示する\n"
    "      --version     バージョンを表示する\n"
    "\n"
    "INPUT や FILE に - を指定すると標準入力を読みます。短いオプションはまとめて\n"
    "書けます (-qi)。値は '=' の後にも書けます (--vib=2)。-- でオプションは終わりです。\n"
    "変換のたびに、ファイルが今持っている連動を一行で知らせます (out.mld: バイブ 2、\n"
    "LED 1)。要求したチャンネルを持てなかったときは、その理由も添えます。auto では\n"
    "おすすめのチャンネルが演奏するパートを示します (バイブ 6 (おすすめ: ベース))。\n"
    "携帯電話で期待どおりに動かないとき (連動したチャンネルが一度も鳴らない、振動が\n"
    "短すぎて感じられない、バイブがほとんど鳴りっぱなし) は、続く一行で知らせます\n"
    "(--timeline でも、標準エラー出力に)。\n"
    "結果を標準出力に書き出すときは、その後のメッセージは標準エラー出力に出ます。\n"
    "複数のファイルを変換したときは、最後に件数を標準エラー出力に出します\n"
    "(sorbelin: 変換 35 件、失敗 1 件)。\n"
    "\n"
    "二つ目の形式は Windows 版と同じもので、'-' で始まる引数がないときに使われます。\n"
    "引数はそれぞれ、そのまま一つのオプションか入力パスです。/vc: と /lc: は10進数の\n"
    "マスク (ビット 0 がチャンネル 1)、/sv: は出力先です。/sv: がなければ出力先を\n"
    "尋ねます。この形式では '/' で始まる引数はオプションなので、絶対パスには\n"
    "一つ目の形式を使ってください。\n"
    "\n"
    "例:\n"
    "  sorbelin --vib 2 --led 1 -o out.mld tune.mld\n"
    "  sorbelin -v 1,3 -l none -d converted/ *.mld *.mmf\n"
    "  sorbelin -r -d converted/ ringtones/\n"
    "  sorbelin --in-place --vib 2 --led keep ringtone.mmf\n"
    "  cat tune.mld | sorbelin -q --vib=2 -o - - | xxd\n"
    "  sorbelin tune.mld /vc:3 /lc:5 /sv:out.mld /end\n"
    "  sorbelin --info --json *.mld\n"
    "  sorbelin --timeline --vib 2 --led 1 tune.mmf\n"
    "  sorbelin --suggest tune.mmf\n"
    "  sorbelin --vib auto --led auto -d converted/ *.mld *.mmf\n"
    "\n"
    "終了ステータス: すべての入力を変換できたとき (--info、--timeline、--suggest では\n"
    "読み取れたとき) 0、一つでも失敗したとき 1、使い方の誤りのとき 2。\n"};

// Usage errors (exit status 2), printed after "sorbelin: ".
inline constexpr char textUsageLine[] = "sorbelin: %s\n";
inline constexpr Message msgBadChannelList = {
    "bad channel list '%s': use channels 1-16 and ranges, like 1,3,9-12, or none, keep or auto",
    "チャンネル指定 '%s' が正しくありません: 1〜16 のチャンネルと範囲 (1,3,9-12 など)、none、keep、または auto "
    "を指定してください"};
// The list as given, then the word (auto or keep) written among channels.
inline constexpr Message msgWordStandsAlone = {
    "bad channel list '%s': %s stands alone, with nothing beside it",
    "チャンネル指定 '%s' が正しくありません: %s は他と並べずに、それだけで指定してください"};
inline constexpr Message msgUnknownOption = {"unknown option '%s' (see --help)",
                                             "不明なオプション '%s' です (--help を参照)"};
inline constexpr Message msgAmbiguousOption = {"%s: ambiguous (%s)", "%s: あいまいです (%s)"};
inline constexpr Message msgSingleDashOption = {"unknown option '%s' (did you mean -%s?)",
                                                "不明なオプション '%s' です (-%s のことですか?)"};
inline constexpr Message msgTakesNoValue = {"option '%s' takes no value", "オプション '%s' は値をとりません"};
inline constexpr Message msgNeedsValue = {"option '%s' needs a value", "オプション '%s' には値が必要です"};
inline constexpr Message msgEmptyPath = {"%s needs a path, not an empty one",
                                         "%s にはパスを指定してください (空にはできません)"};
inline constexpr Message msgOneOutputMode = {"choose one of -o OUT, -d DIR and --in-place",
                                             "-o OUT、-d DIR、--in-place のうち一つを選んでください"};
inline constexpr Message msgNoInput = {"no input file", "入力ファイルがありません"};
inline constexpr Message msgNoOutputMode = {"say where to write: -o OUT, -d DIR or --in-place",
                                            "書き出し先を指定してください: -o OUT、-d DIR または --in-place"};
inline constexpr Message msgJsonWithoutReport = {"--json goes with --info, --timeline or --suggest",
                                                 "--json は --info、--timeline、--suggest のどれかと一緒に使います"};
inline constexpr Message msgOneReport = {"choose one of --info, --timeline and --suggest",
                                         "--info、--timeline、--suggest のうち一つを選んでください"};
inline constexpr Message msgWidthWithoutTimeline = {"--width goes with --timeline",
                                                    "--width は --timeline と一緒に使います"};
inline constexpr Message msgBadWidth = {"bad width '%s': use a number of columns from 20 to 1000",
                                        "幅 '%s' が正しくありません: 20〜1000 の桁数を指定してください"};
// The option of the report: --info, --timeline or --suggest.
inline constexpr Message msgWritesNothing = {"%s writes nothing: it takes no -o, -d or --in-place",
                                             "%s は何も書き出しません: -o、-d、--in-place は指定できません"};
inline constexpr Message msgOneInputForOutput = {"-o takes one input; use -d DIR for several",
                                                 "-o の入力は一つだけです。複数のときは -d DIR を使ってください"};
inline constexpr Message msgRecursiveNeedsNames = {"-r takes -d DIR or --in-place, not -o",
                                                   "-r は -d DIR か --in-place と使います (-o とは使えません)"};
inline constexpr Message msgStandardInputUnnamed = {
    "standard input (-) has no name to write under: use -o OUT",
    "標準入力 (-) には書き出すときの名前がありません: -o OUT を使ってください"};
inline constexpr Message msgInPlaceNeedsChannels = {
    "--in-place rewrites each file's links: name the channels with --vib LIST or --led LIST "
    "(keep leaves a device as the file links it now); to see what a file holds, use -I",
    "--in-place は各ファイルの連動を書き換えます: --vib LIST か --led LIST でチャンネルを指定してください "
    "(keep はファイルの今の連動を残します)。ファイルの中身を見るには -I を使ってください"};
inline constexpr Message msgNotAFolder = {"%s is not a folder", "%s はフォルダではありません"};
inline constexpr Message msgOwnFormNoInput = {
    "no input file named; an argument beginning with '/' is an option in this form, so for an "
    "absolute path use: sorbelin -o OUT INPUT",
    "入力ファイルが指定されていません。この形式では '/' "
    "で始まる引数はオプションなので、絶対パスには次を使ってください: sorbelin -o OUT INPUT"};
inline constexpr Message msgOwnFormOneInput = {
    "this form takes one input file ('%s' is a second); for several use: sorbelin -d DIR INPUT...",
    "この形式の入力ファイルは一つだけです ('%s' は二つ目です)。複数のときは次を使ってください: sorbelin -d DIR "
    "INPUT..."};
inline constexpr Message msgOwnFormNoOutput = {
    "an output path is needed: add /sv:OUT, or use: sorbelin -o OUT INPUT",
    "出力先が必要です: /sv:OUT を加えるか、次を使ってください: sorbelin -o OUT INPUT"};

// How messages name standard input and output.
inline constexpr Message msgStandardInput = {"standard input", "標準入力"};
inline constexpr Message msgStandardOutput = {"standard output", "標準出力"};

// One line for each input that was not converted (exit status 1).
inline constexpr Message msgCannotRead = {"sorbelin: %s: cannot read: %s\n", "sorbelin: %s: 読み込めません: %s\n"};
inline constexpr Message msgIsAFolder = {
    "sorbelin: %s: is a folder; to convert the melodies in it use -r with -d DIR or --in-place\n",
    "sorbelin: %s: フォルダです。中のメロディを変換するには -r と、-d DIR または --in-place を使ってください\n"};
inline constexpr Message msgTooLarge = {
    "sorbelin: %s: more than 4 GiB, too large for a melody file; nothing written\n",
    "sorbelin: %s: 4 GiB を超えていて、メロディファイルとしては大きすぎます。何も書き出していません\n"};
inline constexpr Message msgNotMelodyFile = {
    "sorbelin: %s: not an i-melody or SMAF file; nothing written\n",
    "sorbelin: %s: i-melody でも SMAF でもないファイルです。何も書き出していません\n"};
inline constexpr Message msgMalformed = {"sorbelin: %s: malformed melody; nothing written\n",
                                         "sorbelin: %s: メロディファイルが壊れています。何も書き出していません\n"};
inline constexpr Message msgMalformedAt = {
    "sorbelin: %s: malformed melody (%s); nothing written\n",
    "sorbelin: %s: メロディファイルが壊れています (%s)。何も書き出していません\n"};
inline constexpr Message msgNoMemory = {"sorbelin: %s: not enough memory; nothing written\n",
                                        "sorbelin: %s: メモリが足りません。何も書き出していません\n"};
inline constexpr Message msgCannotWrite = {"sorbelin: %s: cannot write %s: %s\n",
                                           "sorbelin: %s: %s に書き込めません: %s\n"};
inline constexpr Message msgReadOnly = {"sorbelin: %s: %s is read-only; nothing written\n",
                                        "sorbelin: %s: %s は読み取り専用です。何も書き出していません\n"};
inline constexpr Message msgSameOutput = {
    "sorbelin: %s: %s already holds the result of %s in this run; nothing written\n",
    "sorbelin: %s: %s にはこの実行で既に %s の結果を書き出しました。何も書き出していません\n"};
inline constexpr Message msgCannotWriteStandardOutput = {"sorbelin: cannot write to standard output: %s\n",
                                                         "sorbelin: 標準出力に書き込めません: %s\n"};
inline constexpr Message msgCannotReadFolder = {"sorbelin: %s: cannot read the folder: %s\n",
                                                "sorbelin: %s: フォルダを読み込めません: %s\n"};
inline constexpr Message msgCancelled = {"sorbelin: cancelled; nothing written\n",
                                         "sorbelin: 取り消しました。何も書き出していません\n"};

// After the line that says what a file carries, and in --timeline, where
// the phone will disappoint: {name} stands for the file, {warnings} for the
// sentences.
inline constexpr Message msgWarningLine = {"{name}: warning: {warnings}", "{name}: 注意: {warnings}"};

// Before each result message when a run converts several files.
inline constexpr char textConvertedTo[] = "%s -> %s\n";

// After a run of several files, on standard error: how many were converted
// and how many failed.
inline constexpr Message msgRunTotals = {"sorbelin: %d converted, %d failed\n", "sorbelin: 変換 %d 件、失敗 %d 件\n"};

// After the version: the licence, in brief.
inline constexpr Message msgLicence = {
    "Copyright (c) 2026 The Sorbelin authors\n"
    "MIT licence: you may use, copy, change and share it freely, keeping this\n"
    "notice; it comes with no warranty.\n",
    "Copyright (c) 2026 The Sorbelin authors\n"
    "MIT ライセンス: この表示を残せば、自由に使い、複製し、変更し、配布できます。\n"
    "無保証です。\n"};

// The terminal's stand-in for the Save dialog.
inline constexpr Message msgAskOutput = {"Save the converted file as (Enter for %s, Ctrl-D to cancel): ",
                                         "変換したファイルの保存先 (Enter で %s、Ctrl-D で取り消し): "};
inline constexpr Message msgAskReplace = {"%s already exists. Replace it? [y/N] ",
                                          "%s は既にあります。置き換えますか? [y/N] "};
