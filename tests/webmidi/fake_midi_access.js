// A MIDIAccess under Node, with the ports a test names: inputs receive what the test makes them
// receive.
class FakePort extends EventTarget {
  constructor(name, state) {
    super();
    this.name = name;
    this.state = state;
    this.connection = 'closed';
  }

  open() {
    this.connection = 'open';
    return Promise.resolve(this);
  }

  close() {
    this.connection = 'closed';
    return Promise.resolve(this);
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
