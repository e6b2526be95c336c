// The melody as sound: a simple synthesized voice per note (its pitch from
// the key, a short envelope), an approximation of what a phone's sound chip
// plays. Notes are scheduled against the audio clock a short window ahead,
// never all at once: scheduleWindow is the one function that decides when
// and how a note sounds, used by live playback and by an offline render alike.
'use strict';

const sorbelinSound = (function () {
  const {START, DURATION, KEY, firstNoteFrom} = sorbelinTimeline;
  const lookAheadMs = 100;  // how far ahead of the clock the notes are scheduled
  const pumpMs = 25;  // how often the timer looks
  const attack = 0.005, release = 0.015;  // seconds; the release is a time constant
  const shortest = 0.02;  // a note sounds at least this long, in seconds
  const peak = 0.12, sustain = 0.07;

  function frequencyOf(key) {
    return 440 * Math.pow(2, (key - 69) / 12);
  }

  // One note: an oscillator through an envelope into `destination`, from
  // `when` for `seconds` (context time).
  function playNote(context, destination, key, when, seconds) {
    const voice = context.createOscillator();
    const envelope = context.createGain();
    const end = when + Math.max(seconds, shortest);
    voice.type = 'triangle';
    voice.frequency.value = frequencyOf(key);
    envelope.gain.setValueAtTime(0, when);
    envelope.gain.linearRampToValueAtTime(peak, when + attack);
    envelope.gain.setTargetAtTime(sustain, when + attack, 0.08);
    envelope.gain.setTargetAtTime(0, end, release);
    voice.connect(envelope).connect(destination);
    voice.start(when);
    voice.stop(end + 8 * release);
    voice.onended = () => envelope.disconnect();
  }

  // Schedules the notes that start in [fromMs, toMs) of the piece. `clock`
  // ties the piece to the context: the piece's `originMs` falls on the
  // context's `originTime` (seconds). A note that started before originMs
  // and still sounds then is played from originTime for the rest of its
  // length, so that playback begun inside a note still hears it.
  function scheduleWindow(context, destination, notes, fromMs, toMs, clock) {
    for (let i = firstNoteFrom(notes, fromMs); i < notes.length && notes[i][START] < toMs; ++i) {
      const note = notes[i];
      const start = Math.max(note[START], clock.originMs);
      const end = note[START] + note[DURATION];
      if (end <= start && note[START] < clock.originMs) continue;  // over before the origin
      playNote(context, destination, note[KEY], clock.originTime + (start - clock.originMs) / 1000,
               (end - start) / 1000);
    }
  }

  // ---- Live playback

  let context = null;  // one AudioContext for the page, made on the first play

  function audioContext() {
    if (!context) context = new AudioContext();
    if (context.state === 'suspended') context.resume();
    return context;
  }

  // Plays the notes from `fromMs` on. Returns a player: positionMs() is
  // where the sound is now (the clock that the drawing follows), stop()
  // silences it.
  function play(notes, fromMs) {
    const audio = audioContext();
    const bus = audio.createGain();
    const limiter = audio.createDynamicsCompressor();
    bus.connect(limiter).connect(audio.destination);
    const clock = {originMs: fromMs, originTime: audio.currentTime + 0.05};
    const positionMs = () => clock.originMs + (audio.currentTime - clock.originTime) * 1000;
    // The first window reaches back to the start, for the notes that sound
    // across the origin.
    let scheduledTo = 0;
    function pump() {
      const horizon = Math.max(positionMs(), fromMs) + lookAheadMs;
      if (horizon <= scheduledTo) return;
      scheduleWindow(audio, bus, notes, scheduledTo, horizon, clock);
      scheduledTo = horizon;
    }
    pump();
    const timer = setInterval(pump, pumpMs);
    return {
      context: audio,
      positionMs: () => Math.max(fromMs, positionMs()),
      stop() {
        clearInterval(timer);
        bus.disconnect();
        limiter.disconnect();
      },
    };
  }

  return {lookAheadMs, frequencyOf, scheduleWindow, play};
})();
