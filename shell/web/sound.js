// The melody as sound: a simple synthesized voice per note, an approximation
// of what a phone's sound chip plays, with a tone for each channel's role
// (the engine names the roles): drums as short bursts of noise, the others
// as a waveform with a short envelope at the note's pitch. Each channel
// sounds through a gain of its own, which solo and mute open and close at
// once, also while playing. Notes are scheduled against the audio clock a
// short window ahead, never all at once: scheduleWindow is the one function
// that decides when and how a note sounds, used by live playback and by an
// offline render alike.
'use strict';

const sorbelinSound = (function() {
  const {CHANNEL, START, DURATION, KEY, firstNoteFrom} = sorbelinTimeline;
  const lookAheadMs = 100;                // how far ahead of the clock the notes are scheduled
  const pumpMs = 25;                      // how often the timer looks
  const attack = 0.005, release = 0.015;  // seconds; the release is a time constant
  const shortest = 0.02;                  // a note sounds at least this long, in seconds

  // A tone per role: its waveform and levels. The tune stands out, the bass
  // is felt under it, chords stay behind; "other" for a channel without a
  // role (a file's channels are read by the engine before they play).
  const tones = {
    melody: {wave: 'square', peak: 0.16, sustain: 0.11},
    bass: {wave: 'triangle', peak: 0.34, sustain: 0.26},
    chords: {wave: 'sawtooth', peak: 0.08, sustain: 0.05},
    other: {wave: 'sine', peak: 0.22, sustain: 0.15},
  };
  // Drums: noise through a filter by the key's place in the drum kit (bass
  // drums low, snares in the middle, cymbals and hats high), a burst that
  // dies away whatever the note's length.
  const drumLevel = 0.45;
  function drumOf(key) {
    if (key < 37) return {filter: 'lowpass', frequency: 180, decay: 0.05};
    if (key < 42) return {filter: 'bandpass', frequency: 1800, decay: 0.035};
    return {filter: 'highpass', frequency: 7000, decay: 0.02};
  }

  function frequencyOf(key) {
    return 440 * Math.pow(2, (key - 69) / 12);
  }

  // Whether a channel is heard with the mix ({solo, mute}: sets of
  // channels): a soloed channel is, while any is soloed; else any channel
  // not muted.
  function audible(mix, channel) {
    if (mix.solo.size) return mix.solo.has(channel);
    return !mix.mute.has(channel);
  }

  // Half a second of white noise for the drums, the same every time, one
  // per context.
  const noiseKept = new WeakMap();
  function noiseOf(context) {
    let noise = noiseKept.get(context);
    if (noise) return noise;
    noise = context.createBuffer(1, Math.round(context.sampleRate / 2), context.sampleRate);
    const samples = noise.getChannelData(0);
    let state = 1;
    for (let i = 0; i < samples.length; ++i) {
      state = (state * 1103515245 + 12345) & 0x7FFFFFFF;
      samples[i] = state / 0x3FFFFFFF - 1;
    }
    noiseKept.set(context, noise);
    return noise;
  }

  // The voices of a file's channels in `context`: a gain per channel into
  // `destination`, opened or closed by the mix, and the tone of its role
  // (`roles`: a Map of channel to its role's English name).
  function channelVoices(context, destination, roles, mix) {
    const gains = new Map();
    let current = mix;
    return {
      context,
      roleOf: (channel) => roles.get(channel) || 'other',
      input(channel) {
        let gain = gains.get(channel);
        if (!gain) {
          gain = context.createGain();
          gain.gain.value = audible(current, channel) ? 1 : 0;
          gain.connect(destination);
          gains.set(channel, gain);
        }
        return gain;
      },
      // A new mix, heard at once (a few milliseconds' fade against clicks).
      setMix(mix) {
        current = mix;
        for (const [channel, gain] of gains)
          gain.gain.setTargetAtTime(audible(mix, channel) ? 1 : 0, context.currentTime, 0.005);
      },
      disconnect() {
        for (const gain of gains.values()) gain.disconnect();
      },
    };
  }

  // One drum note: a burst of noise from `when`.
  function playDrum(context, input, key, when, seconds) {
    const drum = drumOf(key);
    const source = context.createBufferSource();
    const filter = context.createBiquadFilter();
    const envelope = context.createGain();
    const end = when + Math.min(Math.max(seconds, shortest), 4 * drum.decay);
    source.buffer = noiseOf(context);
    filter.type = drum.filter;
    filter.frequency.value = drum.frequency;
    envelope.gain.setValueAtTime(drumLevel, when);
    envelope.gain.setTargetAtTime(0, when + 0.002, drum.decay);
    envelope.gain.setTargetAtTime(0, end, release);
    source.connect(filter).connect(envelope).connect(input);
    source.start(when);
    source.stop(end + 8 * release);
    source.onended = () => envelope.disconnect();
  }

  // One note of a tone: an oscillator through an envelope into `input`,
  // from `when` for `seconds` (context time).
  function playTone(context, input, tone, key, when, seconds) {
    const voice = context.createOscillator();
    const envelope = context.createGain();
    const end = when + Math.max(seconds, shortest);
    voice.type = tone.wave;
    voice.frequency.value = frequencyOf(key);
    envelope.gain.setValueAtTime(0, when);
    envelope.gain.linearRampToValueAtTime(tone.peak, when + attack);
    envelope.gain.setTargetAtTime(tone.sustain, when + attack, 0.08);
    envelope.gain.setTargetAtTime(0, end, release);
    voice.connect(envelope).connect(input);
    voice.start(when);
    voice.stop(end + 8 * release);
    voice.onended = () => envelope.disconnect();
  }

  // Schedules the notes that start in [fromMs, toMs) of the piece on the
  // voices. `clock` ties the piece to the context: the piece's `originMs`
  // falls on the context's `originTime` (seconds). A note that started
  // before originMs and still sounds then is played from originTime for the
  // rest of its length, so that playback begun inside a note still hears it.
  function scheduleWindow(context, voices, notes, fromMs, toMs, clock) {
    for (let i = firstNoteFrom(notes, fromMs); i < notes.length && notes[i][START] < toMs; ++i) {
      const note = notes[i];
      const start = Math.max(note[START], clock.originMs);
      const end = note[START] + note[DURATION];
      if (end <= start && note[START] < clock.originMs) continue;  // over before the origin
      const when = clock.originTime + (start - clock.originMs) / 1000, seconds = (end - start) / 1000;
      const role = voices.roleOf(note[CHANNEL]), input = voices.input(note[CHANNEL]);
      if (role === 'drums')
        playDrum(context, input, note[KEY], when, seconds);
      else
        playTone(context, input, tones[role] || tones.other, note[KEY], when, seconds);
    }
  }

  // ---- Live playback

  let context = null;  // one AudioContext for the page, made on the first play

  function audioContext() {
    if (!context) context = new AudioContext();
    if (context.state === 'suspended') context.resume();
    return context;
  }

  // Plays the notes from `fromMs` on, each channel in the tone of its role
  // (`roles`) and heard as the mix says. Returns a player: positionMs() is
  // where the sound is now (the clock that the drawing follows), setMix()
  // changes what is heard at once, stop() silences it.
  function play(notes, roles, mix, fromMs) {
    const audio = audioContext();
    const bus = audio.createGain();
    const limiter = audio.createDynamicsCompressor();
    bus.connect(limiter).connect(audio.destination);
    const voices = channelVoices(audio, bus, roles, mix);
    const clock = {originMs: fromMs, originTime: audio.currentTime + 0.05};
    const positionMs = () => clock.originMs + (audio.currentTime - clock.originTime) * 1000;
    // The first window reaches back to the start, for the notes that sound
    // across the origin.
    let scheduledTo = 0;
    function pump() {
      const horizon = Math.max(positionMs(), fromMs) + lookAheadMs;
      if (horizon <= scheduledTo) return;
      scheduleWindow(audio, voices, notes, scheduledTo, horizon, clock);
      scheduledTo = horizon;
    }
    pump();
    const timer = setInterval(pump, pumpMs);
    return {
      context: audio,
      positionMs: () => Math.max(fromMs, positionMs()),
      setMix: (newMix) => voices.setMix(newMix),
      stop() {
        clearInterval(timer);
        voices.disconnect();
        bus.disconnect();
        limiter.disconnect();
      },
    };
  }

  return {lookAheadMs, frequencyOf, audible, channelVoices, scheduleWindow, play};
})();
