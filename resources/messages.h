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
inline constexpr Message msgResultImelodyV2Led = {
    "The link works on these models:\n\nN210i/N503i/N504i", textResultImelodyV2Led};
inline constexpr Message msgResultImelodyV2 = {
    "The link works on these models:\n\nN210i/N211i/N503i/N504i", textResultImelodyV2};
inline constexpr Message msgResultImelodyV3 = {"The link works on these models:\n\nN504i",
                                               textResultImelodyV3};
inline constexpr Message msgResultSmaf16 = {"The link works on phones that play 16 notes at once.",
                                            textResultSmaf16};
inline constexpr Message msgResultSmaf40 = {"The link works on phones that play 40 notes at once.",
                                            textResultSmaf40};

// The phones a SMAF file is made for, by its score tracks: {count} stands
// for the notes they play at once (4, 16 or 40).
inline constexpr Message msgPhonesPlaying = {"phones that play {count} notes at once", "{count}和音の機種"};

// What stopped the reading of a melody: {offset} stands for the offset in
// the file and {number} for the track or chunk, counted from 1.
inline constexpr Message msgNotMelody = {"not an i-melody or SMAF file",
                                         "i-melody でも SMAF でもないファイルです"};
inline constexpr Message msgFileChunkCut = {
    "the file chunk at offset {offset} runs past the end of the file",
    "オフセット {offset} のファイルチャンクがファイルの終わりを越えています"};
inline constexpr Message msgSecondFileChunk = {"a second file chunk at offset {offset}",
                                               "オフセット {offset} に二つ目のファイルチャンクがあります"};
inline constexpr Message msgFileChunkShort = {
    "the file chunk at offset {offset} is too short to hold its check sum",
    "オフセット {offset} のファイルチャンクはチェックサムを入れるには短すぎます"};
inline constexpr Message msgHeaderChunkCut = {
    "the header chunk at offset {offset} runs past the end of the file",
    "オフセット {offset} のヘッダチャンクがファイルの終わりを越えています"};
inline constexpr Message msgAudioChunkCut = {
    "the audio chunk at offset {offset} runs past the end of the file",
    "オフセット {offset} のオーディオチャンクがファイルの終わりを越えています"};
inline constexpr Message msgTrackCut = {
    "track {number} runs past the end of the file at offset {offset}",
    "トラック {number} がオフセット {offset} でファイルの終わりを越えています"};
inline constexpr Message msgEventPastTrack = {
    "the last event of track {number} runs past the track's end at offset {offset}",
    "トラック {number} の最後のイベントがオフセット {offset} でトラックの終わりを越えています"};
inline constexpr Message msgNoFileChunk = {"no file chunk before offset {offset}",
                                           "オフセット {offset} までにファイルチャンクがありません"};
inline constexpr Message msgBodyFirst = {
    "the chunk at offset {offset} stands before the file chunk",
    "オフセット {offset} のチャンクがファイルチャンクより前にあります"};
inline constexpr Message msgChunkCut = {
    "chunk {number} runs past the end of the file at offset {offset}",
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
inline constexpr Message msgCarriesNotesOnly = {
    "; the vibrator and the LED follow the notes, not the recorded sound",
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
inline constexpr Message msgHoldsNoLedPlace = {"this file has no place for the LED",
                                               "LED を入れる場所がありません"};
inline constexpr Message msgHoldsLaterTracksLeft = {
    "score tracks 6 and 7 were left as they were; {choice} links them",
    "スコアトラック 6 と 7 は元のままです。{choice} で連動させられます"};
inline constexpr Message msgHoldsOneLed = {"this file holds one LED channel",
                                           "LED は一チャンネルしか持てません"};

// What stopped the reading of the notes inside a track: {number} stands for
// an i-melody's track, counted from 1, and {track} for a SMAF track, one of
// the two names below with its number.
inline constexpr Message msgScoreTrackName = {"score track {number}", "スコアトラック {number}"};
inline constexpr Message msgAudioTrackName = {"audio track {number}", "オーディオトラック {number}"};
inline constexpr Message msgTempoZero = {
    "track {number} sets a tempo of 0 at offset {offset}",
    "トラック {number} のオフセット {offset} でテンポが 0 になっています"};
inline constexpr Message msgTooManyTracks = {
    "track {number} at offset {offset} is one track too many to number its channels",
    "オフセット {offset} のトラック {number} は多すぎて、チャンネル番号を付けられません"};
inline constexpr Message msgTrackHeaderShort = {
    "{track} at offset {offset} is too short for its header",
    "オフセット {offset} の{track} はヘッダを収めるには短すぎます"};
inline constexpr Message msgUnknownFormat = {
    "{track} at offset {offset} is of a kind that holds no notes known here",
    "オフセット {offset} の{track} は、音符を読めない種類のものです"};
inline constexpr Message msgUnknownTimeBase = {
    "{track} at offset {offset} has an unknown time base",
    "オフセット {offset} の{track} のタイムベースが不明です"};
inline constexpr Message msgPartCut = {
    "a part of {track} runs past the end of the track at offset {offset}",
    "{track} の一部がオフセット {offset} でトラックの終わりを越えています"};
inline constexpr Message msgSequenceCut = {
    "the notes of {track} end in the middle of an event at offset {offset}",
    "{track} の音符がオフセット {offset} でイベントの途中で終わっています"};
inline constexpr Message msgEndlessNumber = {
    "a number in {track} at offset {offset} never ends",
    "{track} のオフセット {offset} の数値が終わりません"};
inline constexpr Message msgUnknownEvent = {
    "{track} has an unknown event at offset {offset}",
    "{track} のオフセット {offset} に不明なイベントがあります"};
inline constexpr Message msgCompressedCut = {
    "the compressed notes of {track} end early at offset {offset}",
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
