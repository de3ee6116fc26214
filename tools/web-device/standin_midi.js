// A stand-in for the browser's Web MIDI, put into a page before its own scripts (by the tests
// through Playwright's init script, by the demo through a script tag): requestMIDIAccess answers
// with the ports of the simulated computer that the TAMBRELL_SIM script sets up, the same devices
// as behind tambrell-update-sim's (web-device.wasm: what is behind each port, and where what they
// send goes). This script keeps only the browser's side: ports, events and timestamps.
//
// Ports come and go as the world's lists do (a controller that restarts, one plugged in late): a
// port whose key is no longer listed turns disconnected and stays in its map, a new key is a new
// port at the end of its map, and each change is told by a statechange event, as browsers do. With
// `ports-return=same` a device that comes back shows its old port objects again, connected (as
// Chromium may, taking it for the same device).
//
// The script is window.TAMBRELL_SIM when set, else the page address's `sim` parameter. The run
// report is window.standInMidi.report(), the ports left open window.standInMidi.openPorts().
(() => {
  const base = document.currentScript ? new URL('.', document.currentScript.src) :
    new URL('/standin/', location.origin);
  const disconnected = () => new DOMException('The port is disconnected.', 'InvalidStateError');

  const inUse = () => new DOMException('The port is in use by another program.',
    'InvalidAccessError');

  // As in a browser, where the browser's own process opens and closes the device, a port's open()
  // or close() takes effect a moment later, when its promise settles; until then the port is as it
  // was, and an input hears only while open.
  const PORT_CHANGE_MS = 40;
  const later = (change) => new Promise((resolve) => setTimeout(resolve, PORT_CHANGE_MS))
    .then(change);

  // `key`: the world's port behind it, which changes when its device comes back as this object.
  class StandInPort extends EventTarget {
    constructor(type, key, name) {
      super();
      Object.assign(this, {
        type, key, name, fails: false, id: `${type}-${key}`, state: 'connected',
        connection: 'closed',
      });
    }

    open() {
      return later(() => {
        if (this.fails) throw inUse();
        if (this.state === 'connected') this.connection = 'open';
        return this;
      });
    }

    close() {
      return later(() => {
        this.connection = 'closed';
        return this;
      });
    }
  }

  // How far ahead a page may schedule a send: more is a fault of the page's, reported.
  const MAX_AHEAD_MS = 1000;

  class StandInAccess extends EventTarget {
    constructor(device, sysexEnabled) {
      super();
      Object.assign(this, {
        device, sysexEnabled, start: performance.now(), timer: null, posted: false,
        outgoing: [],  // frames handed over, each with the time it leaves, in that order
        inbox: [],  // what reaches the page's inputs next: {to, data}
        faults: [],
      });
      // What reaches an input arrives as the browser's own MIDI events do: in tasks of their own,
      // at once when due, never held back as a background tab's timers are.
      this.channel = new MessageChannel();
      this.channel.port1.onmessage = () => {
        this.posted = false;
        this.tick();
      };
      this.inputs = new Map();
      this.outputs = new Map();
      this.returnSame = Boolean(this.call('WebDevicePortsReturnSame'));
      this.list(false);
      // A controller plugged in or restarting later moves at its time.
      this.schedule();
    }

    call(name, ...args) {
      return this.device.ccall(name, 'number', args.map(() => 'number'), args);
    }

    lines(name, ...args) {
      return this.device.ccall(name, 'string', args.map(() => 'number'), args).split('\n')
        .slice(0, -1);
    }

    // Brings the ports in line with the world's lists: a port whose key is gone, or whose device
    // was pulled out, is disconnected; a key without a port gets one. `announce`: each change is
    // told by a statechange event (not the ports there from the start).
    list(announce) {
      for (const [input, ports] of [[1, this.inputs], [0, this.outputs]]) {
        const keys = this.lines('WebDevicePortKeys', input);
        const names = this.lines('WebDevicePorts', input);
        for (const port of ports.values()) {
          const listed = keys.indexOf(port.key);
          const there = listed >= 0 && this.call('WebDeviceConnected', input, listed);
          if (port.state === 'connected' && !there) this.setState(port, 'disconnected', announce);
        }
        const known = [...ports.values()].map((port) => port.key);
        keys.forEach((key, listed) => {
          if (known.includes(key)) return;
          const port = this.returning(ports, names[listed], keys) ??
            this.add(input, key, names[listed]);
          port.key = key;
          port.fails = Boolean(this.call('WebDeviceOpenFails', input, listed));
          this.setState(port, 'connected', announce);
        });
      }
      this.outgoing = this.outgoing.filter((frame) => frame.port.state === 'connected');
    }

    // With `ports-return=same`, the port of this name that left, to come back as it is.
    returning(ports, name, keys) {
      if (!this.returnSame) return undefined;
      return [...ports.values()].find((port) => port.state === 'disconnected' &&
        port.name === name && !keys.includes(port.key));
    }

    add(input, key, name) {
      const port = new StandInPort(input ? 'input' : 'output', key, name);
      if (!input) {
        port.lastAt = 0;
        port.send = (data, timestamp) => this.send(port, data, timestamp);
        // Only where the browser's own Web MIDI has it (Firefox's, not Chromium's).
        if (typeof MIDIOutput === 'function' && 'clear' in MIDIOutput.prototype) {
          port.clear = () => this.clear(port);
        }
      }
      (input ? this.inputs : this.outputs).set(port.id, port);
      return port;
    }

    // A port gone is closed as well; one that comes back is closed until opened.
    setState(port, state, announce) {
      Object.assign(port, { state, connection: 'closed' });
      if (!announce) return;
      for (const target of [port, this]) {
        target.dispatchEvent(Object.assign(new Event('statechange'), { port }));
      }
    }

    // The world's restarts and plug-ins moved on to `time`.
    move(time) {
      if (this.call('WebDeviceMoveTo', this.since(time))) this.list(true);
    }

    // The devices' clock: ms since the stand-in was made.
    since(time) {
      return time - this.start;
    }

    fault(text) {
      this.faults.push(text);
      console.error(`stand-in Web MIDI: ${text}`);
    }

    // As a browser's Web MIDI: the frame leaves at its timestamp, at once when it has none or it
    // is past, and reaches the device then, whatever the page's thread is doing at that time.
    send(port, data, timestamp = 0) {
      const bytes = Uint8Array.from(data);
      if (port.state !== 'connected') throw disconnected();
      if (port.fails) throw inUse();
      if (port.connection === 'closed') port.connection = 'open';  // as Web MIDI on a first send
      if (bytes[0] === 0xF0 && !this.sysexEnabled) {
        throw new DOMException('System exclusive messages are not allowed.', 'InvalidAccessError');
      }
      const now = performance.now();
      const at = Math.max(timestamp, now);
      if (at > now + MAX_AHEAD_MS) this.fault(`a send scheduled ${Math.round(at - now)} ms ahead`);
      if (at < port.lastAt) {
        this.fault(`a send to ${port.name} scheduled ${(port.lastAt - at).toFixed(1)} ms before an ` +
          'earlier one');
      }
      port.lastAt = Math.max(port.lastAt, at);
      let place = this.outgoing.length;
      while (place > 0 && this.outgoing[place - 1].at > at) place -= 1;
      this.outgoing.splice(place, 0, { port, bytes, at });
      this.schedule();
    }

    // What the port holds to send later never leaves.
    clear(port) {
      this.outgoing = this.outgoing.filter((frame) => frame.port !== port);
    }

    // The frames whose time has come reach their devices, each at its own time, after what the
    // devices sent before it and once the world has moved on to it; then what is due reaches the
    // page's inputs. A controller's last answer may take its ports with it: the world moves once
    // more after it.
    tick() {
      const now = performance.now();
      while (this.outgoing.length > 0 && this.outgoing[0].at <= now) {
        const { port, bytes, at } = this.outgoing.shift();
        this.move(at);
        if (port.state === 'connected') this.reach(port, bytes, at);
      }
      this.move(now);
      this.collect(now);
      for (const { to, data } of this.inbox.splice(0)) {
        // As a browser's, only an open input hears what reaches it.
        for (const port of this.inputsNamed(to)) {
          if (port.connection !== 'open') continue;
          port.dispatchEvent(new MIDIMessageEvent('midimessage', { data }));
        }
      }
      this.move(now);
      this.schedule();
    }

    reach(port, bytes, at) {
      const pointer = this.device._malloc(bytes.length);
      this.device.HEAPU8.set(bytes, pointer);
      const taken = this.call('WebDeviceReceive', Number(port.key), pointer, bytes.length,
        this.since(at));
      this.device._free(pointer);
      // Pulled out, as a USB device is: its ports are disconnected, what was still to reach it is
      // lost, and the page is told. (One gone to restart leaves the lists as the world moves on.)
      if (!taken) this.list(true);
    }

    // What the devices send by `time`.
    collect(time) {
      let size;
      while ((size = this.call('WebDeviceTake', this.since(time))) >= 0) {
        const pointer = this.call('WebDeviceMessage');
        const data = this.device.HEAPU8.slice(pointer, pointer + size);
        this.inbox.push({ to: this.device.ccall('WebDeviceMessageTo', 'string'), data });
      }
    }

    // The next tick: at the next frame's time or the next message's, whichever comes first. The
    // last few ms go by in turns, since timers are clamped to 4 ms when they follow each other.
    schedule() {
      clearTimeout(this.timer);
      const now = performance.now();
      const waits = [];
      if (this.inbox.length > 0) waits.push(0);
      if (this.outgoing.length > 0) waits.push(this.outgoing[0].at - now);
      const message = this.call('WebDeviceWaitMs', this.since(now));
      if (message >= 0) waits.push(message);
      if (waits.length === 0) return;
      const wait = Math.min(...waits);
      if (wait > 6) {
        this.timer = setTimeout(() => this.tick(), wait - 4);
      } else if (!this.posted) {
        this.posted = true;
        this.channel.port2.postMessage(null);
      }
    }

    inputsNamed(name) {
      return [...this.inputs.values()].filter((port) => port.name === name &&
        port.state === 'connected');
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
    // What the page did that a browser's Web MIDI would not take as it should: sends scheduled
    // too far ahead, or before an earlier one.
    faults: () => (access ? access.faults : []),
    // The names of the ports left open.
    openPorts: () => (access ? [...access.inputs.values(), ...access.outputs.values()] : [])
      .filter((port) => port.connection !== 'closed').map((port) => `${port.type} ${port.name}`),
  };
})();
