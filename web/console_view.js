// The updater's console, drawn as a console window draws it: a carriage return sends the cursor
// back to the start of the line and what follows writes over it, so the spinner line stays one
// line. The text is drawn at most every DRAW_MS, however fast the updater prints.

const DRAW_MS = 40;
const PERCENT = /(\d+)% done/;

export class ConsoleView {
  // `onPercent` hears each percentage the updater prints, once drawn.
  constructor(element, onPercent) {
    this.element = element;
    this.onPercent = onPercent;
    this.decoder = new TextDecoder();
    this.pending = [];
    this.timer = null;
    this.clear();
  }

  clear() {
    this.lines = [''];
    this.row = 0;
    this.column = 0;
    this.pending = [];
    this.draw();
  }

  // One byte of the updater's standard output.
  write(byte) {
    this.pending.push(byte);
    this.timer ??= setTimeout(() => this.draw(), DRAW_MS);
  }

  // Draws what is pending now: at the end of a run, so that nothing waits for the timer.
  draw() {
    clearTimeout(this.timer);
    this.timer = null;
    const text = this.decoder.decode(new Uint8Array(this.pending), { stream: true });
    this.pending = [];
    for (const character of text) this.put(character);
    this.element.textContent = this.lines.join('\n');
    this.element.scrollTop = this.element.scrollHeight;
    // The latest percentage, even when the line that shows it has been left since the last draw.
    const percent = this.lines.findLast((line) => PERCENT.test(line));
    if (percent) this.onPercent(Number(PERCENT.exec(percent)[1]));
  }

  text() {
    return this.lines.join('\n');
  }

  put(character) {
    if (character === '\r') {
      this.column = 0;
    } else if (character === '\n') {
      this.row += 1;
      this.column = 0;
      if (this.row === this.lines.length) this.lines.push('');
    } else {
      const line = this.lines[this.row].padEnd(this.column);
      this.lines[this.row] =
        line.slice(0, this.column) + character + line.slice(this.column + 1);
      this.column += 1;
    }
  }
}
