// A stand-in for the browser's Web MIDI, put into a page before its own scripts (by the tests
// through Playwright's init script, by the demo through a script tag): requestMIDIAccess answers
// with the devices that the TAMBRELL_SIM script lists; the ports that carry a controller's name
// lead to that simulated controller (web-device.wasm), a loopback's output sends back on its
// input, and the other ports ignore what they are sent, as tambrell-update-sim's do.
//
// The script is window.TAMBRELL_SIM when set, else the page address's `sim` parameter. The run
// report is window.standInMidi.report(), the ports left open window.standInMidi.openPorts().
(() => {
  const base = document.currentScript ? new URL('.', document.currentScript.src) :
    new URL('/standin/', location.origin);
  const disconnected = () => new DOMException('The port is disconnected.', 'InvalidStateError');

  class StandInPort extends EventTarget {
    constructor(type, index, name) {
      super();
      Object.assign(this, {
        type, name, id: `${type}-${index}`, state: 'connected', connection: 'closed',
      });
    }

    open() {
      if (this.state === 'connected') this.connection = 'open';
      return Promise.resolve(this);
    }

    close() {
      this.connection = 'closed';
      return Promise.resolve(this);
    }
  }

  class StandInAccess extends EventTarget {
    constructor(device, sysexEnabled) {
      super();
      Object.assign(this, {
        device, sysexEnabled, start: performance.now(), timer: null, echoes: [],
      });
      // The controller's answers arrive as the browser's own MIDI events do: in tasks of their
      // own, at once when due, never held back as a background tab's timers are.
      this.channel = new MessageChannel();
      this.channel.port1.onmessage = () => this.deliver();
      const lines = (name, ...args) => device.ccall(name, 'string', args.map(() => 'number'), args)
        .split('\n').slice(0, -1);
      const ports = (type, input) => new Map(lines('WebDevicePorts', input)
        .map((name, index) => [index, new StandInPort(type, index, name)]));
      this.inputs = ports('input', 1);
      this.outputs = ports('output', 0);
      for (const port of this.outputs.values()) port.send = (data) => this.send(port, data);
      this.controllerNames = lines('WebDeviceControllerNames');
      const loops = lines('WebDeviceLoops');
      this.loops = loops.filter((_, index) => index % 2 === 0)
        .map((from, index) => ({ from, to: loops[2 * index + 1] }));
    }

    inputsNamed(name) {
      return [...this.inputs.values()].filter((port) => port.name === name);
    }

    now() {
      return performance.now() - this.start;
    }

    send(port, data) {
      const bytes = Uint8Array.from(data);
      if (port.state !== 'connected') throw disconnected();
      port.open();  // as Web MIDI opens an output on its first send
      if (bytes[0] === 0xF0 && !this.sysexEnabled) {
        throw new DOMException('System exclusive messages are not allowed.', 'InvalidAccessError');
      }
      const controller = this.controllerNames.indexOf(port.name);
      const pointer = this.device._malloc(bytes.length);
      this.device.HEAPU8.set(bytes, pointer);
      const taken = this.device.ccall('WebDeviceReceive', 'number',
        ['number', 'number', 'number', 'number'], [controller, pointer, bytes.length, this.now()]);
      this.device._free(pointer);
      if (!taken) {
        // Pulled out, as a USB device is: its ports are disconnected, and the page is told.
        for (const gone of [...this.inputs.values(), ...this.outputs.values()]) {
          if (gone.name === this.controllerNames[0]) gone.state = 'disconnected';
        }
        this.dispatchEvent(Object.assign(new Event('statechange'), { port }));
        throw disconnected();
      }
      for (const loop of this.loops) {
        if (loop.from === port.name) this.echoes.push({ to: loop.to, data: bytes });
      }
      this.schedule();
    }

    schedule() {
      clearTimeout(this.timer);
      const wait = this.echoes.length > 0 ? 0 :
        this.device.ccall('WebDeviceWaitMs', 'number', ['number'], [this.now()]);
      if (wait === 0) this.channel.port2.postMessage(null);
      else if (wait > 0) this.timer = setTimeout(() => this.deliver(), wait);
    }

    deliver() {
      const arrive = (name, data) => {
        for (const port of this.inputsNamed(name)) {
          port.dispatchEvent(new MIDIMessageEvent('midimessage', { data }));
        }
      };
      for (const { to, data } of this.echoes.splice(0)) arrive(to, data);
      const now = this.now();
      let size;
      while ((size = this.device.ccall('WebDeviceTake', 'number', ['number'], [now])) >= 0) {
        const pointer = this.device.ccall('WebDeviceMessage', 'number');
        const data = this.device.HEAPU8.slice(pointer, pointer + size);
        arrive(this.controllerNames[this.device.ccall('WebDeviceMessageFrom', 'number')], data);
      }
      this.schedule();
    }
  }

  let access = null;
  const script = window.TAMBRELL_SIM ?? new URLSearchParams(location.search).get('sim') ?? '';

  Object.defineProperty(Navigator.prototype, 'requestMIDIAccess', {
    configurable: true,
    value: async (options = {}) => {
      const { default: createWebDevice } = await import(new URL('web-device.js', base));
      const device = await createWebDevice();
      const problem = device.ccall('WebDeviceConfigure', 'string', ['string'], [script]);
      if (problem) throw new DOMException(`TAMBRELL_SIM: ${problem}`, 'InvalidStateError');
      access = new StandInAccess(device, Boolean(options.sysex));
      return access;
    },
  });

  window.standInMidi = {
    report: () => (access ? access.device.ccall('WebDeviceReport', 'string') : ''),
    // The names of the ports left open.
    openPorts: () => (access ? [...access.inputs.values(), ...access.outputs.values()] : [])
      .filter((port) => port.connection !== 'closed').map((port) => `${port.type} ${port.name}`),
  };
})();
