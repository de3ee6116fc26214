// A MIDIAccess under Node, with the ports a test names: inputs receive what the test makes them
// receive, outputs keep what they are sent, and either can be unplugged.
class FakePort extends EventTarget {
  constructor(name, state) {
    super();
    this.name = name;
    this.state = state;
    this.sent = [];
  }

  open() {
    return Promise.resolve(this);
  }

  send(data) {
    if (this.state !== 'connected') throw new Error('The port is disconnected.');
    this.sent.push(...data);
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
  port(input, index) {
    return (input ? Module['midiAccess'].inputs : Module['midiAccess'].outputs).get(index);
  },
};
