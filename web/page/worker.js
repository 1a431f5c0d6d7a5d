// Runs the WebAssembly module for the page: one module instance for every file the page opens.
// The page sends {file: {name, bytes}, options, shared}; the worker answers with
// {progress: {caption, steps, total}} messages while the import runs, {dialog} when the rules
// dialog is to be shown, {confirm: {caption, text}} when an abort is to be confirmed (answered
// {yes}), then {result} (what importBoardFile gives, and the file's name).
//
// `shared` (a SharedArrayBuffer, or null where the page is not cross-origin isolated) is how the
// page reaches the import while it runs, since the import holds the worker until it ends:
//   Int32 0  the Abort flag: 1 when Abort was pressed; taken (set to 0) when seen
//   Int32 1  1 once the page has written its answer to a dialog or a confirmation
//   Int32 2  the answer's length in bytes; the answer (JSON) from byte 12 on
'use strict';
importScripts('viderave.js', 'viderave_import.js');

const kAnswerAt = 12;
const ready = createViderave({ print: () => {}, printErr: () => {} });
let lastProgress = 0;

// Posts a question to the page ({dialog} or {confirm}) and waits until the page has answered.
function askPage(shared, question) {
  const flags = new Int32Array(shared);
  Atomics.store(flags, 1, 0);
  self.postMessage(question);
  Atomics.wait(flags, 1, 0);
  const length = Atomics.load(flags, 2);
  // A copy: the text decoder takes no shared memory.
  const bytes = new Uint8Array(shared, kAnswerAt, length).slice();
  return JSON.parse(new TextDecoder().decode(bytes));
}

self.onmessage = async (event) => {
  const viderave = await ready;
  const { file, options, shared } = event.data;
  const flags = shared ? new Int32Array(shared) : null;
  const result = videraveImport.importBoardFile(viderave, {
    fileName: file.name,
    bytes: new Uint8Array(file.bytes),
    options,
    onProgress: (caption, steps, total) => {
      // A few messages a second are enough for the bar; the start and the end always go.
      const now = Date.now();
      if (steps === 0 || steps === total || now - lastProgress > 100) {
        lastProgress = now;
        self.postMessage({ progress: { caption, steps, total } });
      }
      // The page's Abort: Escape, as the host's keyboard gives it.
      return flags !== null && Atomics.exchange(flags, 0, 0) === 1;
    },
    // Without shared memory the worker cannot wait for the page: the dialog is answered with OK,
    // the abort confirmation with yes.
    onDialog: shared ? (dialog) => askPage(shared, { dialog }) : undefined,
    onConfirm: shared ? (caption, text) => askPage(shared, { confirm: { caption, text } }).yes : undefined,
  });
  self.postMessage({ result: { ...result, fileName: file.name } });
};
