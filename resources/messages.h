// Texts of the native program and the web page, in English and Japanese. A
// Japanese text that the Windows program shows too is taken from texts.h,
// so that it is written once.
#pragma once

#include "resources/texts.h"

struct Message {
  const char *english;
  const char *japanese;
};

// The result messages after a conversion.
inline constexpr Message msgResultImelodyV2Led = {"The link works on these models:\n\nN210i/N503i/N504i",
                                                  textResultImelodyV2Led};
inline constexpr Message msgResultImelodyV2 = {"The link works on these models:\n\nN210i/N211i/N503i/N504i",
                                               textResultImelodyV2};
inline constexpr Message msgResultImelodyV3 = {"The link works on these models:\n\nN504i", textResultImelodyV3};
inline constexpr Message msgResultSmaf16 = {"The link works on phones that play 16 notes at once.", textResultSmaf16};
inline constexpr Message msgResultSmaf40 = {"The link works on phones that play 40 notes at once.", textResultSmaf40};

// The phones a SMAF file is made for, by its score tracks: {count} stands
// for the notes they play at once (4, 16 or 40).
inline constexpr Message msgPhonesPlaying = {"phones that play {count} notes at once", "{count}和音の機種"};

// What stopped the reading of a melody: {offset} stands for the offset in
// the file and {number} for the track or chunk, counted from 1.
inline constexpr Message msgNotMelody = {"not an i-melody or SMAF file", "i-melody でも SMAF でもないファイルです"};
inline constexpr Message msgFileChunkCut = {"the file chunk at offset {offset} runs past the end of the file",
                                            "オフセット {offset} のファイルチャンクがファイルの終わりを越えています"};
inline constexpr Message msgSecondFileChunk = {"a second file chunk at offset {offset}",
                                               "オフセット {offset} に二つ目のファイルチャンクがあります"};
inline constexpr Message msgFileChunkShort = {
    "the file chunk at offset {offset} is too short to hold its check sum",
    "オフセット {offset} のファイルチャンクはチェックサムを入れるには短すぎます"};
inline constexpr Message msgHeaderChunkCut = {"the header chunk at offset {offset} runs past the end of the file",
                                              "オフセット {offset} のヘッダチャンクがファイルの終わりを越えています"};
inline constexpr Message msgAudioChunkCut = {
    "the audio chunk at offset {offset} runs past the end of the file",
    "オフセット {offset} のオーディオチャンクがファイルの終わりを越えています"};
inline constexpr Message msgTrackCut = {"track {number} runs past the end of the file at offset {offset}",
                                        "トラック {number} がオフセット {offset} でファイルの終わりを越えています"};
inline constexpr Message msgEventPastTrack = {
    "the last event of track {number} runs past the track's end at offset {offset}",
    "トラック {number} の最後のイベントがオフセット {offset} でトラックの終わりを越えています"};
inline constexpr Message msgNoFileChunk = {"no file chunk before offset {offset}",
                                           "オフセット {offset} までにファイルチャンクがありません"};
inline constexpr Message msgBodyFirst = {"the chunk at offset {offset} stands before the file chunk",
                                         "オフセット {offset} のチャンクがファイルチャンクより前にあります"};
inline constexpr Message msgChunkCut = {"chunk {number} runs past the end of the file at offset {offset}",
                                        "チャンク {number} がオフセット {offset} でファイルの終わりを越えています"};
inline constexpr Message msgContentsShort = {
    "the file's information at offset {offset} is shorter than its 5 fixed bytes",
    "オフセット {offset} のファイル情報が固定の 5 バイトより短いです"};
inline constexpr Message msgScoreTrackShort = {
    "score track {number} at offset {offset} is too short for its channel status bytes",
    "オフセット {offset} のスコアトラック {number} はチャンネル状態バイトを収めるには短すぎます"};

// After a conversion, what the file now carries: {name} stands for the file,
// {vibration} and {led} for channel lists, each followed, when the file could
// not hold all that was asked, by one of the reasons below in parentheses.
inline constexpr Message msgCarries = {"{name}: vibration {vibration}, LED {led}",
                                       "{name}: バイブ {vibration}、LED {led}"};
// The same when one reason holds for both: it is said once, after both.
inline constexpr Message msgCarriesBoth = {"{name}: vibration {vibration}, LED {led} (both: {reason})",
                                           "{name}: バイブ {vibration}、LED {led} (どちらも: {reason})"};
inline constexpr Message msgCarriesNone = {"none", "なし"};
// After channels that were suggested for the file: {roles} stands for what
// they play ("bass", "bass, drums").
inline constexpr Message msgCarriesSuggested = {"suggested: {roles}", "おすすめ: {roles}"};
inline constexpr Message msgCarriesNotesOnly = {"; the vibrator and the LED follow the notes, not the recorded sound",
                                                "。バイブと LED は音符に連動し、録音された音には連動しません"};
inline constexpr Message msgHoldsNoTrack = {"the melody has no track to hold links",
                                            "連動を入れるトラックがありません"};
inline constexpr Message msgHoldsNoLinks = {"i-melody version {version} holds no links",
                                            "バージョン {version} の i-melody は連動を持てません"};
inline constexpr Message msgHoldsOneChannel = {"i-melody version 2 holds one channel",
                                               "バージョン 2 の i-melody が持てるのは一チャンネルです"};
inline constexpr Message msgHoldsNoVibrationTrack = {"this file has no track that can hold vibration",
                                                     "バイブを持てるトラックがありません"};
inline constexpr Message msgHoldsVibrationOnly = {"this file's tracks play channels {channels} only",
                                                  "このファイルのトラックが受け持つのはチャンネル {channels} だけです"};
inline constexpr Message msgHoldsNoLedPlace = {"this file has no place for the LED", "LED を入れる場所がありません"};
inline constexpr Message msgHoldsLaterTracksLeft = {
    "score tracks 6 and 7 were left as they were; {choice} links them",
    "スコアトラック 6 と 7 は元のままです。{choice} で連動させられます"};
inline constexpr Message msgHoldsOneLed = {"this file holds one LED channel", "LED は一チャンネルしか持てません"};

// What stopped the reading of the notes inside a track: {number} stands for
// an i-melody's track, counted from 1, and {track} for a SMAF track, one of
// the two names below with its number.
inline constexpr Message msgScoreTrackName = {"score track {number}", "スコアトラック {number}"};
inline constexpr Message msgAudioTrackName = {"audio track {number}", "オーディオトラック {number}"};
inline constexpr Message msgTempoZero = {"track {number} sets a tempo of 0 at offset {offset}",
                                         "トラック {number} のオフセット {offset} でテンポが 0 になっています"};
inline constexpr Message msgTooManyTracks = {
    "track {number} at offset {offset} is one track too many to number its channels",
    "オフセット {offset} のトラック {number} は多すぎて、チャンネル番号を付けられません"};
inline constexpr Message msgTrackHeaderShort = {"{track} at offset {offset} is too short for its header",
                                                "オフセット {offset} の{track} はヘッダを収めるには短すぎます"};
inline constexpr Message msgUnknownFormat = {"{track} at offset {offset} is of a kind that holds no notes known here",
                                             "オフセット {offset} の{track} は、音符を読めない種類のものです"};
inline constexpr Message msgUnknownTimeBase = {"{track} at offset {offset} has an unknown time base",
                                               "オフセット {offset} の{track} のタイムベースが不明です"};
inline constexpr Message msgPartCut = {"a part of {track} runs past the end of the track at offset {offset}",
                                       "{track} の一部がオフセット {offset} でトラックの終わりを越えています"};
inline constexpr Message msgSequenceCut = {"the notes of {track} end in the middle of an event at offset {offset}",
                                           "{track} の音符がオフセット {offset} でイベントの途中で終わっています"};
inline constexpr Message msgEndlessNumber = {"a number in {track} at offset {offset} never ends",
                                             "{track} のオフセット {offset} の数値が終わりません"};
inline constexpr Message msgUnknownEvent = {"{track} has an unknown event at offset {offset}",
                                            "{track} のオフセット {offset} に不明なイベントがあります"};
inline constexpr Message msgCompressedCut = {"the compressed notes of {track} end early at offset {offset}",
                                             "{track} の圧縮された音符がオフセット {offset} で途切れています"};
inline constexpr Message msgCompressedTree = {
    "the code table of the compressed notes of {track} is damaged at offset {offset}",
    "{track} の圧縮された音符の符号表がオフセット {offset} で壊れています"};
inline constexpr Message msgCompressedClaim = {
    "the compressed notes of {track} claim more bytes than they hold, at offset {offset}",
    "{track} の圧縮された音符は、オフセット {offset} で実際より多いバイト数を示しています"};

// Recorded sound (SMAF audio tracks, i-melody audio chunks): the vibrator
// and the LED follow notes only. In --info, a line of its own; {tracks}
// stands for the number of audio tracks, {length} for how long they play.
inline constexpr Message msgRecordedSound = {"recorded sound", "録音"};
inline constexpr Message msgRecordedSoundTrack = {"1 audio track, {length}", "オーディオトラック 1 本、{length}"};
inline constexpr Message msgRecordedSoundTracks = {"{tracks} audio tracks, {length}",
                                                   "オーディオトラック {tracks} 本、{length}"};
inline constexpr Message msgRecordedSoundUntimed = {"in the file; when it plays is not read",
                                                    "あり (鳴る時刻は読みません)"};
// In --timeline, the row of recorded sound and what follows its strip.
inline constexpr Message msgRecordingRow = {"recording", "録音"};
inline constexpr Message msgNotLinked = {"not linked", "連動しません"};

// What each channel plays, as --suggest, --info and --timeline name it.
inline constexpr Message msgRoleMelody = {"melody", "メロディ"};
inline constexpr Message msgRoleBass = {"bass", "ベース"};
inline constexpr Message msgRoleDrums = {"drums", "ドラム"};
inline constexpr Message msgRoleChords = {"chords", "和音"};
inline constexpr Message msgRoleOther = {"other", "その他"};

// A channel's part inside a reason: {channel} stands for its number, {first}
// and {second} for two parts.
inline constexpr Message msgPartMelody = {"the tune", "メロディ"};
inline constexpr Message msgPartBass = {"the bass line", "ベース"};
inline constexpr Message msgPartDrums = {"the drums", "ドラム"};
inline constexpr Message msgPartOther = {"the part on channel {channel}", "チャンネル {channel} のパート"};
inline constexpr Message msgPartPair = {"{first} and {second}", "{first}と{second}"};
// How often: {count} stands for a whole number of times or seconds.
inline constexpr Message msgRateOnce = {"about once a second", "1 秒に約 1 回"};
inline constexpr Message msgRateTwice = {"about twice a second", "1 秒に約 2 回"};
inline constexpr Message msgRateTimes = {"about {count} times a second", "1 秒に約 {count} 回"};
inline constexpr Message msgRateEvery = {"about once every {count} seconds", "約 {count} 秒に 1 回"};

// Why the suggestion chose what it chose: {part} stands for a part as
// above, {rate} for how often the vibrator pulses or the light's part plays
// a note, {choice} for the choice that links score tracks 6 and 7
// ("--all-tracks").
inline constexpr Message msgWhyInBands = {"{part} pulses {rate}, easy to feel",
                                          "{part}に合わせて {rate}、心地よく震えます"};
inline constexpr Message msgWhyFallback = {"no part pulses evenly enough, so the vibrator follows {part}, {rate}",
                                           "ちょうどよく震えるパートがないため、{part}に合わせて {rate}震えます"};
inline constexpr Message msgWhyClosest = {
    "no part pulses evenly enough; {part} comes closest, {rate}",
    "ちょうどよく震えるパートがないため、いちばん近い{part}に合わせて {rate}震えます"};
inline constexpr Message msgWhyMelody = {"the light follows {part}, whose notes come {rate}",
                                         "{part}に合わせて光ります (音符は {rate})"};
inline constexpr Message msgWhySlowerMelody = {
    "of the lines that could be the tune, the light follows the one the eye can keep up with: {part}, {rate}",
    "メロディらしいパートのうち、目で追える速さの{part}に合わせて光ります (音符は {rate})"};
inline constexpr Message msgWhyTopLine = {
    "no clear tune, so the light follows the highest part, {part}, {rate}",
    "はっきりしたメロディがないため、いちばん高い{part}に合わせて光ります (音符は {rate})"};
inline constexpr Message msgWhyBassLine = {"no clear tune, so the light follows {part}, {rate}",
                                           "はっきりしたメロディがないため、{part}に合わせて光ります (音符は {rate})"};
inline constexpr Message msgWhyNoNotes = {"the melody has no notes to follow", "合わせる音符がありません"};
inline constexpr Message msgWhyVibrationUnfit = {
    "only held chords and fast runs play, which would make the vibrator drone",
    "伸ばした和音や速い連打しかなく、バイブが鳴りっぱなしになります"};
inline constexpr Message msgWhyLedUnfit = {"only drums, held chords and fast runs play, which a light cannot follow",
                                           "ドラム、伸ばした和音、速い連打しかなく、光では追えません"};
inline constexpr Message msgWhyNotCarried = {"the parts that would suit play on channels this file cannot link",
                                             "合いそうなパートは、このファイルが連動できないチャンネルにあります"};
inline constexpr Message msgWhyUnreadable = {"the file cannot be read whole", "ファイルを最後まで読めません"};
inline constexpr Message msgWhyLaterTracksOnly = {
    "this file holds links only in score tracks 6 and 7; {choice} links them",
    "連動を持てるのはスコアトラック 6 と 7 だけです。{choice} で連動させられます"};
inline constexpr Message msgWhyLaterTracksKept = {
    "score tracks 6 and 7 keep their links; {choice} links them too",
    "スコアトラック 6 と 7 は元の連動のままです。{choice} で連動させられます"};

// The lines of a suggestion: {channels} stands for a channel list, {role}
// for what they play, {reason} for why.
inline constexpr Message msgSuggestVibration = {"vibration", "バイブ"};
inline constexpr Message msgSuggestLed = {"LED", "LED"};
inline constexpr Message msgSuggestNone = {"none", "なし"};
// A channel's figures: {rate} notes a second, {share} percent of the time sounding.
inline constexpr Message msgChannelFigures = {"{rate} notes/s  sounds {share}%", "{rate} 音/秒  鳴る {share}%"};

// Where the phone will disappoint: {channel} stands for a channel,
// {channels} for a list of several ("3,5-7").
inline constexpr Message msgWarnVibrationStill = {"channel {channel} never plays: the vibrator will not run",
                                                  "チャンネル {channel} は一度も鳴らないので、バイブは動きません"};
inline constexpr Message msgWarnVibrationSilent = {
    "channel {channel} never plays: the vibrator will not follow it",
    "チャンネル {channel} は一度も鳴らないので、バイブはそれに合わせて動きません"};
inline constexpr Message msgWarnLedDark = {"channel {channel} never plays: the LED will not light",
                                           "チャンネル {channel} は一度も鳴らないので、LED は光りません"};
inline constexpr Message msgWarnLedSilent = {
    "channel {channel} never plays: the LED will not follow it",
    "チャンネル {channel} は一度も鳴らないので、LED はそれに合わせて光りません"};
inline constexpr Message msgWarnVibrationStillMany = {"channels {channels} never play: the vibrator will not run",
                                                      "チャンネル {channels} は一度も鳴らないので、バイブは動きません"};
inline constexpr Message msgWarnVibrationSilentMany = {
    "channels {channels} never play: the vibrator will not follow them",
    "チャンネル {channels} は一度も鳴らないので、バイブはそれらに合わせて動きません"};
inline constexpr Message msgWarnLedDarkMany = {"channels {channels} never play: the LED will not light",
                                               "チャンネル {channels} は一度も鳴らないので、LED は光りません"};
inline constexpr Message msgWarnLedSilentMany = {
    "channels {channels} never play: the LED will not follow them",
    "チャンネル {channels} は一度も鳴らないので、LED はそれらに合わせて光りません"};
inline constexpr Message msgWarnPulsesShort = {"the vibration pulses are too short to feel",
                                               "バイブの振動が短すぎて感じられません"};
inline constexpr Message msgWarnAlwaysOn = {"the vibrator runs almost all the time",
                                            "バイブがほとんど鳴りっぱなしです"};
