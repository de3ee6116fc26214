// A MIDIAccess under Node, with the ports a test names: inputs receive what the test makes them
// receive.
class FakePort extends EventTarget {
  constructor(name, state) {
    super();
    this.name = name;
    this.state = state;
    this.connection = 'closed';
    this.changing = false;
    this.sent = [];
    this.times = [];  // of each frame sent: [when it is to leave, when it was handed over]
    this.clears = 0;
  }

  // As Chromium's: a change takes effect a moment later, and a port still closing reads open, so
  // open() then does nothing.
  open() {
    return this.later('open');
  }

  // As Firefox's, a close may take a while: a round trip to its MIDI process.
  close() {
    return this.later('closed', fakeMidi.closeMs);
  }

  later(connection, ms = 0) {
    if (this.connection === connection) return Promise.resolve(this);
    this.changing = true;
    return new Promise((resolve) => {
      const done = () => {
        this.connection = connection;
        this.changing = false;
        resolve(this);
      };
      if (ms > 0) setTimeout(done, ms);
      else queueMicrotask(done);
    });
  }

  // As Firefox's output: what it is sent while it opens or closes is lost; a closed port opens on
  // its first send.
  send(data, timestamp = 0) {
    if (this.changing) return;
    this.connection = 'open';
    this.sent.push(Array.from(data));
    this.times.push([timestamp, performance.now()]);
  }

  clear() {
    this.clears += 1;
  }
}

var fakeMidi = {
  closeMs: 0,
  // `names` of each direction; a name ending in " (unplugged)" is a port already disconnected.
  // The maps are keyed by number, from 0 in the order given.
  use(inputs, outputs) {
    const ports = (names) => new Map(names.map((name, index) => [index, new FakePort(name,
      name.endsWith(' (unplugged)') ? 'disconnected' : 'connected')]));
    Module['midiAccess'] = Object.assign(new EventTarget(), {
      inputs: ports(inputs), outputs: ports(outputs),
    });
    this.closeMs = 0;
  },
  input(index) {
    return Module['midiAccess'].inputs.get(index);
  },
  output(index) {
    return Module['midiAccess'].outputs.get(index);
  },
  // A port unplugged, or connected again, told as browsers tell it: on the port and on the access.
  setState(port, state) {
    port.state = state;
    const changed = () => Object.assign(new Event('statechange'), { port });
    port.dispatchEvent(changed());
    Module['midiAccess'].dispatchEvent(changed());
  },
  // A new port at the end of its map.
  plugIn(input, name) {
    const map = input ? Module['midiAccess'].inputs : Module['midiAccess'].outputs;
    const port = new FakePort(name, 'disconnected');
    map.set(map.size, port);
    this.setState(port, 'connected');
  },
};
