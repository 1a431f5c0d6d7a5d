// Runs the WebAssembly module for the page: one module instance for every file the page opens.
// The page sends {file: {name, bytes}, options, abortFlag}; the worker answers with
// {progress: {caption, steps, total}} messages while the import runs, then {result} (what
// importBoardFile gives, and the file's name).
'use strict';
importScripts('viderave.js', 'viderave_import.js');

const ready = createViderave({ print: () => {}, printErr: () => {} });
let lastProgress = 0;

self.onmessage = async (event) => {
  const viderave = await ready;
  const { file, options, abortFlag } = event.data;
  const flag = abortFlag ? new Int32Array(abortFlag) : null;
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
      // The page's Abort sets the shared flag: Escape, as the host's keyboard gives it.
      return flag !== null && Atomics.exchange(flag, 0, 0) === 1;
    },
  });
  self.postMessage({ result: { ...result, fileName: file.name } });
};
