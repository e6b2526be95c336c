// The engine as the page sees it: the WebAssembly module's C interface
// (shell/web/exports.h) wrapped in functions on plain JavaScript values.
// Bytes are copied into the module's memory for each call and every result
// is copied out and released before the function returns. A module that
// aborts (it is built without exceptions, so running out of memory aborts
// it) or traps is over: the call says so and the page starts another.
'use strict';

const sorbelinEngine = (function() {
  // Runs `call` on the module; when it throws, the module is marked as
  // ended and the call gives {failure}: 'no-memory' when the engine ran out
  // of memory (its new-handler marks the module so before it aborts), else
  // 'failed'.
  function guarded(module, call) {
    try {
      return call();
    } catch (error) {
      module.sorbelinEnded = true;
      return {failure: module.sorbelinOutOfMemory ? 'no-memory' : 'failed'};
    }
  }

  // Whether a call ended the module: nothing more may be asked of it.
  function ended(module) {
    return Boolean(module.sorbelinEnded);
  }

  // Copies the bytes into the module's memory; 0 when there is no room.
  function copyIn(module, bytes) {
    const at = module._malloc(Math.max(bytes.length, 1));
    if (at) module.HEAPU8.set(bytes, at);
    return at;
  }

  function copyText(module, text) {
    return copyIn(module, new TextEncoder().encode(text + '\0'));
  }

  // Everything the page shows of a file before it is converted, from one
  // reading of its bytes: {info: what `sorbelin --info --json` gives for a
  // file of that name, timeline: what `sorbelin --timeline --json` gives
  // ({path, format, error, durationMs, loops, channels, notes: [[channel,
  // startMs, durationMs, key], ...], recordedSound: [[startMs, durationMs],
  // ...]}), length: the piece's length as `sorbelin --info` writes it, or
  // null, madeFor: the phones a SMAF file is made for, {japanese, english},
  // or null, roles: [{channel, role, japanese, english}] for each channel
  // with notes, suggested: {plain, allTracks}, the engine's suggestion
  // without and with score tracks 6 and 7 (the choice that `choice` names:
  // {japanese, english}), each {vibration: [channels], led: [channels],
  // reasons: {vibration, led}, each {japanese, english}}}; or {failure:
  // 'no-memory' or 'failed'} when the engine could not read it.
  function read(module, name, bytes, choice) {
    return guarded(module, () => {
      const pointers = [
        copyText(module, name), copyIn(module, bytes), copyText(module, choice.japanese),
        copyText(module, choice.english)
      ];
      const [namePtr, bytesPtr, japanesePtr, englishPtr] = pointers;
      const json =
          pointers.every(Boolean) ? module._sorbelin_read(namePtr, bytesPtr, bytes.length, japanesePtr, englishPtr) : 0;
      for (const at of pointers) module._free(at);
      if (!json) return {failure: 'no-memory'};
      const parsed = JSON.parse(module.UTF8ToString(json));
      module._free(json);
      return parsed;
    });
  }

  // Converts the bytes of the file named `name` with the two channel masks
  // (bit i: channel i + 1) and the flags (bit 0: SMAF score tracks 6 and 7
  // are linked too, the choice that `choice` names: {japanese, english};
  // bit 1: say where the phone will disappoint, reading the notes again).
  // Returns {outcome, bytes, vibration, led, laterTracks, message, carries,
  // warnings}:
  // outcome 'done', 'not-melody', 'malformed', 'no-memory' or 'failed' (the
  // engine stopped, and the module with it); bytes the
  // converted file, or null unless done; vibration and led the channels that
  // the converted file links; laterTracks whether it has score tracks 6 or 7
  // that only the flag links; message the result message and carries the
  // line that says what the file carries, each {japanese, english} or null,
  // as the native program prints them; warnings where the phone will
  // disappoint with what the file carries, {japanese: [sentences], english:
  // [sentences]} (none unless asked).
  function convert(module, name, bytes, vibMask, ledMask, flags, choice) {
    const result = guarded(module, () => {
      const pointers = [
        copyText(module, name), copyIn(module, bytes), copyText(module, choice.japanese),
        copyText(module, choice.english)
      ];
      const [namePtr, input, japanesePtr, englishPtr] = pointers;
      const conversion = pointers.every(Boolean) ?
          module._sorbelin_convert(namePtr, input, bytes.length, vibMask, ledMask, flags, japanesePtr, englishPtr) :
          0;
      for (const at of pointers) module._free(at);
      if (!conversion) return {failure: 'no-memory'};
      const made = JSON.parse(module.UTF8ToString(module._sorbelin_conversion(conversion)));
      const at = module._sorbelin_output(conversion);
      made.bytes = at ? module.HEAPU8.slice(at, at + module._sorbelin_output_length(conversion)) : null;
      module._sorbelin_release(conversion);
      return made;
    });
    return result.failure ? notConverted(result.failure) : result;
  }

  // The result of a conversion that did not take place, for `outcome`.
  function notConverted(outcome) {
    return {
      outcome,
      bytes: null,
      vibration: [],
      led: [],
      laterTracks: false,
      message: null,
      carries: null,
      warnings: {japanese: [], english: []}
    };
  }

  return {read, convert, ended, notConverted};
})();
