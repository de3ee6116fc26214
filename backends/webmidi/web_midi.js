// The JavaScript side of the Web MIDI backend, inside the program's module: the page hands its
// MIDIAccess in as Module.midiAccess.
//
// Ports are numbered per direction in Web MIDI's order, as Windows numbers its devices, read afresh
// whenever Web MIDI says a port changed. Left out: ports unplugged, and the loopback port that the
// system itself provides (ALSA's "Midi Through"), which a Windows program never sees and the tool
// would count as a second device. A device that comes back is a new device, as on Windows, whether
// the browser lists new port objects for it or turns its old ones connected again (Chromium may
// take it for the same device): an open port is held by a handle on its port object, not by its
// number, which the next reading may move, and a handle whose port was unplugged stays unplugged.
// An input that listens keeps the SysEx messages that arrive, whole as Web MIDI hands them over,
// until the program's next Sleep takes them.
//
// The browser keeps the protocol's pace, not the page's thread: every frame is handed over with
// the time it is to leave (`send(data, timestamp)`), on the page's own clock, `due`. The pause
// after a frame only moves that clock on, so a record's frames are handed over in one go, 1 ms
// apart, and nothing else the page does (drawing, another window, a slow CPU) can come between
// two of them. The clock runs ahead of the browser's by at most LEAD_MS. Every other wait, for an
// answer above all, lasts in real time until the clock is reached, so that a run of 1 ms waits
// adds up to its count however busy the page is.
//
// An answer belongs to the frames that have left: a message that the page sees before the last
// frame handed over is due to leave cannot answer it. It is held back and handed to the program
// just ahead of the next message seen later, so that it is replaced before the program looks, as a
// native program discards a reply that came while a record was going out; it stays one answer too
// many, and no success is claimed over it. Held alone it ends no wait. The page's own clock
// decides, not the event's time stamp: Firefox stamps a message with the time its port was opened
// plus the MIDI library's own count, which is not the page's clock (in the guest every answer
// looked early, and the search found no controller).
var webMidi = {
  access: null,  // the MIDIAccess whose ports are listed, and whose changes are followed
  inputs: null,
  outputs: null,
  handles: new Map(),  // handle -> {port, gone}: the ports open, and whether each was unplugged
  nextHandle: 1,
  arrived: new Map(),  // listening input's handle -> its messages not yet taken
  listeners: new Map(),
  changes: new Map(),  // port -> its last step still to come (open, close, send), which the next waits for
  channel: null,
  turn: null,
  // About one record's frames: a longer run of frames waits, in real time, until the browser has
  // sent all but this much of what it was handed.
  LEAD_MS: 16,
  SETTLE_MS: 2000,
  due: 0,  // the page's clock: when the program's next step is to happen (performance.now())
  leaving: 0,  // when the last frame handed over is due to leave
  sentLast: false,  // the program's last step was a send: the pause after it is the browser's
  before: 0,  // the page's clock before the current pause
  target: 0,  // the real time the current wait lasts until
  endsOnInput: false,  // whether a message that arrives ends the current wait
  wake: null,  // ends the current wait early

  ports(input) {
    const access = Module['midiAccess'];
    if (access !== this.access) {
      this.access = access;
      this.inputs = null;
      if (access) access.addEventListener('statechange', (event) => this.portChanged(event.port));
    }
    if (!this.inputs) {
      const usable = (map) => Array.from(map ? map.values() : [])
        .filter((port) => port.state !== 'disconnected' && !/^Midi Through/.test(port.name));
      this.inputs = usable(access && access.inputs);
      this.outputs = usable(access && access.outputs);
    }
    return input ? this.inputs : this.outputs;
  },

  // A port came or went (or opened, or closed): the lists are read again when next asked for. An
  // unplugged port's handles stay unplugged, even once the browser turns it connected again.
  portChanged(port) {
    this.inputs = null;
    if (!port || port.state !== 'disconnected') return;
    for (const opened of this.handles.values()) if (opened.port === port) opened.gone = true;
  },

  // A handle on port `index` as listed now.
  open(input, index) {
    const port = this.ports(input)[index];
    const handle = this.nextHandle++;
    this.handles.set(handle, { port, gone: false });
    return handle;
  },

  // Whether port `index` is held by a handle not unplugged since.
  inUse(input, index) {
    const port = this.ports(input)[index];
    return Array.from(this.handles.values()).some((opened) => opened.port === port && !opened.gone);
  },

  // Starts or stops keeping what the input receives; what was kept is dropped either way.
  listen(handle, on) {
    const opened = this.handles.get(handle);
    const port = opened.port;
    const listener = this.listeners.get(handle);
    if (listener) port.removeEventListener('midimessage', listener);
    this.listeners.delete(handle);
    this.arrived.delete(handle);
    if (!on) return true;
    if (opened.gone || port.state !== 'connected') return false;
    const kept = [];
    const held = [];  // seen while frames were still due to leave
    const keep = (event) => {
      if (opened.gone || event.data.length === 0 || event.data[0] !== 0xF0) return;
      const message = new Uint8Array(event.data);
      if (performance.now() < this.leaving) {
        held.push(message);
        return;
      }
      kept.push(...held.splice(0), message);
      if (this.wake && this.endsOnInput) this.wake();
    };
    port.addEventListener('midimessage', keep);
    this.change(port, true);
    this.listeners.set(handle, keep);
    this.arrived.set(handle, kept);
    return true;
  },

  // The program closed the port, as a Windows program closes its device: resolves once it is
  // closed (settled()).
  close(handle) {
    const { port } = this.handles.get(handle);
    this.handles.delete(handle);
    this.change(port, false);
    return this.settled(port);
  },

  // Opening and closing take effect a moment later, and a port still closing reads open, so
  // Chromium's open() of a port closed just before does nothing: the controller's input, closed
  // after the search for the controller and opened again at once, stayed closed. Each change waits
  // for the one before. A port that cannot be opened just stays silent.
  change(port, open) {
    this.after(port, () => (open ? port.open() : port.close()));
  },

  // Resolves once the port's changes are done, as Windows' calls return with the device opened or
  // closed; at the latest after SETTLE_MS, for a browser that never answers. The program goes on
  // only then: in Firefox the search's close of the controller's input, still under way, took
  // effect while the first record's answer came, which was lost, and the record written twice.
  settle(handle) {
    return this.settled(this.handles.get(handle).port);
  },

  settled(port) {
    const pending = this.changes.get(port);
    if (!pending) return Promise.resolve();
    return new Promise((resolve) => {
      const timer = setTimeout(resolve, this.SETTLE_MS);
      pending.then(() => {
        clearTimeout(timer);
        resolve();
      });
    });
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

  next(handle) {
    const kept = this.arrived.get(handle);
    return kept && kept.length > 0 ? kept[0] : null;
  },

  take(handle) {
    return this.arrived.get(handle).shift();
  },

  // False once the port is gone: Web MIDI throws on a disconnected port, and a port that has
  // just vanished may still be marked connected for a moment; one connected again is another
  // device's. What a port is sent while it closes is lost (Firefox lost the first frame of the
  // firmware, sent right after the search closed the controller's output and the update opened it
  // again): a send then waits its turn behind the change, and every send after it keeps its
  // place. Each frame leaves at the page's clock.
  send(handle, bytes) {
    const { port, gone } = this.handles.get(handle);
    if (gone || port.state !== 'connected') return false;
    this.due = Math.max(this.due, performance.now());
    const at = this.due;
    this.leaving = at;
    this.sentLast = true;
    if (this.changes.has(port)) {
      this.after(port, () => port.send(bytes, at));
      return true;
    }
    try {
      port.send(bytes, at);
      return true;
    } catch (error) {
      return false;
    }
  },

  // Takes back what the output still holds to send later, where the browser can (Chromium's
  // Web MIDI has no clear()): nothing of a run that has ended may reach the device after it.
  clear(handle) {
    const { port } = this.handles.get(handle);
    try {
      if (typeof port.clear === 'function') port.clear();
    } catch (error) {
      // A port that is gone holds nothing either.
    }
  },

  // The start of Sleep(ms): moves the page's clock on by `ms`. True when the program has to wait:
  // for an answer (until the clock is reached, or a message comes), or for the browser to work
  // off a run of frames longer than the lead. A pause right after a frame is the browser's to keep.
  pause(ms) {
    const afterSend = this.sentLast;
    this.sentLast = false;
    this.before = this.due;
    this.due += ms;
    this.endsOnInput = !afterSend;
    this.target = afterSend ? this.due - this.LEAD_MS : this.due;
    return !afterSend || this.target > performance.now();
  },

  // Gives the page at least one turn, then waits on a timer until the wait that pause() set is
  // over. Waiting for an answer ends as soon as a message has come, the clock back where it stood
  // (or at the message, when that is later), so that the next frame follows the answer at once
  // but never sooner than the pause after the frame before. A timer may end late (they are clamped
  // to 4 ms when they follow each other): the deadlines are absolute, so the waits after it make
  // up for it. No turns are spun meanwhile, which on a computer with one free core would hold up
  // the browser's own thread that sends the frames handed over.
  wait() {
    return new Promise((resolve) => {
      let timer = null;
      const finish = () => {
        clearTimeout(timer);
        this.wake = null;
        resolve();
      };
      const step = () => {
        const now = performance.now();
        const left = this.target - now;
        if (left <= 0) {
          finish();
        } else if (this.endsOnInput && this.hasInput()) {
          this.due = Math.max(now, this.before);
          finish();
        } else {
          timer = setTimeout(step, left);
        }
      };
      // A message that arrives during a timer's wait ends it at the next turn.
      this.wake = () => {
        clearTimeout(timer);
        this.nextTurn(step);
      };
      this.nextTurn(step);
    });
  },

  hasInput() {
    for (const kept of this.arrived.values()) if (kept.length > 0) return true;
    return false;
  },

  // Runs `step` at the page's next turn; a step asked for while one is pending replaces it.
  nextTurn(step) {
    if (!this.channel) {
      this.channel = new MessageChannel();
      this.channel.port1.onmessage = () => {
        const turn = this.turn;
        this.turn = null;
        if (turn) turn();
      };
    }
    if (!this.turn) this.channel.port2.postMessage(null);
    this.turn = step;
  },
};
