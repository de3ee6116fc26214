// A MIDIAccess under Node, with the ports a test names: inputs receive what the test makes them
// receive.
class FakePort extends EventTarget {
  constructor(name, state) {
    super();
    this.name = name;
    this.state = state;
    this.connection = 'closed';
  }

  // As Chromium's: a change takes effect a moment later, and a port still closing reads open, so
  // open() then does nothing.
  open() {
    return this.later('open');
  }

  close() {
    return this.later('closed');
  }

  later(connection) {
    if (this.connection === connection) return Promise.resolve(this);
    return new Promise((resolve) => queueMicrotask(() => {
      this.connection = connection;
      resolve(this);
    }));
  }
}

var fakeMidi = {
  // `names` of each direction; a name ending in " (unplugged)" is a port already disconnected.
  use(inputs, outputs) {
    const ports = (names) => new Map(names.map((name, index) => [index, new FakePort(name,
      name.endsWith(' (unplugged)') ? 'disconnected' : 'connected')]));
    Module['midiAccess'] = { inputs: ports(inputs), outputs: ports(outputs) };
    webMidi.inputs = null;  // the next run of the program lists the ports afresh
  },
  input(index) {
    return Module['midiAccess'].inputs.get(index);
  },
};
