// The JavaScript side of the Web MIDI backend, inside the program's module: the page hands its
// MIDIAccess in as Module.midiAccess.
//
// Ports are numbered per direction in Web MIDI's order when the program first asks, as Windows
// numbers its devices. Left out: ports already unplugged, and the loopback port that the system
// itself provides (ALSA's "Midi Through"), which a Windows program never sees and the tool would
// count as a second device. An input that listens keeps the SysEx messages that arrive, whole as
// Web MIDI hands them over, until the program's next Sleep takes them.
var webMidi = {
  inputs: null,
  outputs: null,
  arrived: new Map(),  // listening input index -> its messages not yet taken
  listeners: new Map(),
  changes: new Map(),  // port -> its last step still to come (open, close, send), which the next waits for
  channel: null,
  turn: null,
  lateness: 0,  // ms past the deadline that waits end, on average

  ports(input) {
    if (!this.inputs) {
      const access = Module['midiAccess'];
      const usable = (map) => Array.from(map ? map.values() : [])
        .filter((port) => port.state !== 'disconnected' && !/^Midi Through/.test(port.name));
      this.inputs = usable(access && access.inputs);
      this.outputs = usable(access && access.outputs);
    }
    return input ? this.inputs : this.outputs;
  },

  // Starts or stops keeping what input `index` receives; what was kept is dropped either way.
  listen(index, on) {
    const port = this.ports(true)[index];
    const listener = this.listeners.get(index);
    if (listener) port.removeEventListener('midimessage', listener);
    this.listeners.delete(index);
    this.arrived.delete(index);
    if (!on) return true;
    if (port.state !== 'connected') return false;
    const kept = [];
    const keep = (event) => {
      if (event.data.length > 0 && event.data[0] === 0xF0) kept.push(new Uint8Array(event.data));
    };
    port.addEventListener('midimessage', keep);
    this.change(port, true);
    this.listeners.set(index, keep);
    this.arrived.set(index, kept);
    return true;
  },

  // The program closed the port, as a Windows program closes its device.
  close(input, index) {
    const port = this.ports(input)[index];
    if (port) this.change(port, false);
  },

  // Opening and closing take effect a moment later, and a port still closing reads open, so
  // Chromium's open() of a port closed just before does nothing: the controller's input, closed
  // after the search for the controller and opened again at once, stayed closed. Each change waits
  // for the one before. A port that cannot be opened just stays silent.
  change(port, open) {
    this.after(port, () => (open ? port.open() : port.close()));
  },

  // Runs `step` once the port's changes before it are done; `changes` holds only ports with a
  // step still to come.
  after(port, step) {
    const done = (this.changes.get(port) || Promise.resolve()).then(step).catch(() => {});
    this.changes.set(port, done);
    done.then(() => {
      if (this.changes.get(port) === done) this.changes.delete(port);
    });
  },

  next(index) {
    const kept = this.arrived.get(index);
    return kept && kept.length > 0 ? kept[0] : null;
  },

  take(index) {
    return this.arrived.get(index).shift();
  },

  // False once the port is gone: Web MIDI throws on a disconnected port, and a port that has
  // just vanished may still be marked connected for a moment. What a port is sent while it closes
  // is lost (Firefox lost the first frame of the firmware, sent right after the search closed the
  // controller's output and the update opened it again): a send then waits its turn behind the
  // change, and every send after it keeps its place.
  send(index, bytes) {
    const port = this.ports(false)[index];
    if (port.state !== 'connected') return false;
    if (this.changes.has(port)) {
      this.after(port, () => port.send(bytes));
      return true;
    }
    try {
      port.send(bytes);
      return true;
    } catch (error) {
      return false;
    }
  },

  // Resolves once `ms` have passed, giving the page every turn in between. Timers are clamped to
  // 4 ms when they follow each other, so the last few ms go by in turns of a MessageChannel,
  // which comes back at once. The page's clock is coarse (0.1 ms where the page is not isolated
  // from other sites) and a turn may end late: how late the waits end is learnt as they go and
  // the deadline set that much earlier, so that an update's 1 ms waits add up to their count.
  wait(ms) {
    const deadline = performance.now() + ms - Math.min(this.lateness, ms / 4);
    return new Promise((resolve) => {
      const step = () => {
        const now = performance.now();
        const left = deadline - now;
        if (left <= 0) {
          this.lateness += (-left - this.lateness) / 8;
          resolve();
        } else if (left > 8) {
          setTimeout(step, left - 6);
        } else {
          this.nextTurn(step);
        }
      };
      this.nextTurn(step);
    });
  },

  nextTurn(step) {
    if (!this.channel) {
      this.channel = new MessageChannel();
      this.channel.port1.onmessage = () => this.turn();
    }
    this.turn = step;
    this.channel.port2.postMessage(null);
  },
};
