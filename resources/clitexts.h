// Texts of the native converter `sorbelin`, each written once: its help, its
// usage errors, the line it prints for each input that fails and the
// terminal's questions. The lines that name a file are printf formats.
#pragma once

inline constexpr char textUsage[] =
    "usage: sorbelin [--vib LIST] [--led LIST] (-o OUT | -d DIR | --in-place) [-r] INPUT...\n"
    "       sorbelin --info [--json] FILE...\n"
    "       sorbelin INPUT [/vc:MASK] [/lc:MASK] [/sv:OUT] [/end]\n"
    "\n"
    "Writes a copy of an i-melody (.mld) or SMAF (.mmf) ring melody in which the\n"
    "phone's vibrator and LED follow the chosen melody channels.\n"
    "\n"
    "  -v, --vib LIST    channels that drive the vibrator (default 1)\n"
    "  -l, --led LIST    channels that drive the LED (default 1)\n"
    "                    LIST: channels 1-16 and ranges, like 1,3,9-12, or none\n"
    "  -o, --output OUT  write the one INPUT's result to OUT; - is standard output\n"
    "  -d, --dir DIR     write each INPUT's result under its own name into DIR,\n"
    "                    created when missing\n"
    "  -i, --in-place    rewrite each INPUT\n"
    "  -r, --recursive   take every .mld and .mmf file in the folders named, and\n"
    "                    with -d recreate their tree under DIR\n"
    "  -q, --quiet       print nothing after a conversion\n"
    "  -I, --info        report what each FILE holds (format, title, links, notes\n"
    "                    per channel); writes nothing\n"
    "      --json        with --info: one JSON object per line and file\n"
    "  -h, --help        show this text\n"
    "      --version     show the version\n"
    "\n"
    "An INPUT or FILE of - is standard input. Short options may be written\n"
    "together, values may follow '=' (--vib=2), and -- ends the options. When\n"
    "the result goes to standard output, the message after it goes to standard\n"
    "error.\n"
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
    "  sorbelin --in-place ringtone.mmf\n"
    "  cat tune.mld | sorbelin -q --vib=2 -o - - | xxd\n"
    "  sorbelin tune.mld /vc:3 /lc:5 /sv:out.mld /end\n"
    "  sorbelin --info --json *.mld\n"
    "\n"
    "Exit status: 0 when every input was converted (with --info: read and\n"
    "recognised), 1 when any failed, 2 for a usage error.\n";

// Usage errors (exit status 2), printed after "sorbelin: ".
inline constexpr char textUsageLine[] = "sorbelin: %s\n";
inline constexpr char textBadChannelList[] =
    "bad channel list '%s': use channels 1-16 and ranges, like 1,3,9-12, or none";
inline constexpr char textUnknownOption[] = "unknown option '%s' (see --help)";
inline constexpr char textAmbiguousOption[] = "ambiguous option '%s' (see --help)";
inline constexpr char textTakesNoValue[] = "option '%s' takes no value";
inline constexpr char textNeedsValue[] = "option '%s' needs a value";
inline constexpr char textOneOutputMode[] = "choose one of -o OUT, -d DIR and --in-place";
inline constexpr char textNoInput[] = "no input file";
inline constexpr char textNoOutputMode[] = "say where to write: -o OUT, -d DIR or --in-place";
inline constexpr char textJsonWithoutInfo[] = "--json goes with --info";
inline constexpr char textInfoWritesNothing[] = "--info writes nothing: it takes no -o, -d or --in-place";
inline constexpr char textOneInputForOutput[] = "-o takes one input; use -d DIR for several";
inline constexpr char textRecursiveNeedsNames[] = "-r takes -d DIR or --in-place, not -o";
inline constexpr char textStandardInputUnnamed[] =
    "standard input (-) has no name to write under: use -o OUT";
inline constexpr char textNotAFolder[] = "%s is not a folder";
inline constexpr char textOwnFormNoInput[] =
    "no input file named; an argument beginning with '/' is an option in this form, so for an "
    "absolute path use: sorbelin -o OUT INPUT";
inline constexpr char textOwnFormOneInput[] =
    "this form takes one input file ('%s' is a second); for several use: sorbelin -d DIR INPUT...";
inline constexpr char textOwnFormNoOutput[] =
    "an output path is needed: add /sv:OUT, or use: sorbelin -o OUT INPUT";

// How messages name standard input and output.
inline constexpr char textStandardInput[] = "standard input";
inline constexpr char textStandardOutput[] = "standard output";

// One line for each input that was not converted (exit status 1).
inline constexpr char textCannotRead[] = "sorbelin: %s: cannot read: %s\n";
inline constexpr char textIsAFolder[] =
    "sorbelin: %s: is a folder; to convert the melodies in it use -r with -d DIR or --in-place\n";
inline constexpr char textTooLarge[] =
    "sorbelin: %s: more than 4 GiB, too large for a melody file; nothing written\n";
inline constexpr char textNotMelody[] = "sorbelin: %s: not an i-melody or SMAF file; nothing written\n";
inline constexpr char textMalformed[] = "sorbelin: %s: malformed melody; nothing written\n";
inline constexpr char textNoMemory[] = "sorbelin: %s: not enough memory; nothing written\n";
inline constexpr char textCannotWrite[] = "sorbelin: %s: cannot write %s: %s\n";
inline constexpr char textSameOutput[] =
    "sorbelin: %s: %s already holds the result of %s in this run; nothing written\n";
inline constexpr char textCannotReadFolder[] = "sorbelin: %s: cannot read the folder: %s\n";
inline constexpr char textCancelled[] = "sorbelin: cancelled; nothing written\n";

// Before each result message when a run converts several files.
inline constexpr char textConvertedTo[] = "%s -> %s\n";

// The terminal's stand-in for the Save dialog.
inline constexpr char textAskOutput[] =
    "Save the converted file as (proposed: %s; empty to cancel): ";
inline constexpr char textAskReplace[] = "%s already exists. Replace it? [y/N] ";
