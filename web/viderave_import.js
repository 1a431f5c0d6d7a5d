// Imports one board file through an instance of the WebAssembly module and collects what the
// import wrote: the page's worker and the node tests use it. Works as a CommonJS module (node)
// and as a classic script (importScripts in a Web Worker), where it defines `videraveImport`.
//
//   const result = importBoardFile(viderave, {
//     fileName: 'small-2.80.PCB',        // a name, or a full path (the document records it)
//     bytes,                              // Uint8Array of the file
//     options: ['--test-mode'],           // more words of `viderave import`
//     onProgress: (caption, steps, total) => false,   // true presses Escape
//     onDialog: (dialog) => undefined,    // shows the rules dialog (web_api.cpp: its answer)
//     onConfirm: (caption, text) => true, // asks the abort confirmation
//   });
//   result.status, result.messages        // the host program's exit status and messages
//   result.document, result.svg           // texts ('' when not written)
//   result.kicad                          // {'NAME.kicad_pcb': Uint8Array, 'NAME.pretty/X.kicad_mod': ..., ...}
//   result.report                         // the component layer report's text, or ''
//
// The board file and everything the import wrote are removed from the module's memory once they
// are read, so a page that opens file after file does not keep every one of them.
'use strict';
(function (exported) {
  const kBoards = '/boards';   // where a plain file name is placed
  const kOutput = '/output';   // what the import writes, under a folder per call

  function removeTree(FS, folder) {
    if (!FS.analyzePath(folder).exists) return;
    for (const name of FS.readdir(folder)) {
      if (name === '.' || name === '..') continue;
      const path = `${folder}/${name}`;
      if (FS.isDir(FS.stat(path).mode)) removeTree(FS, path);
      else FS.unlink(path);
    }
    FS.rmdir(folder);
  }

  function readTree(FS, folder, prefix, into) {
    for (const name of FS.readdir(folder).filter((n) => n !== '.' && n !== '..').sort()) {
      const path = `${folder}/${name}`;
      if (FS.isDir(FS.stat(path).mode)) readTree(FS, path, `${prefix}${name}/`, into);
      else into[`${prefix}${name}`] = FS.readFile(path);
    }
    return into;
  }

  function readText(FS, path) {
    return FS.analyzePath(path).exists ? FS.readFile(path, { encoding: 'utf8' }) : '';
  }

  // The board's name without its folder and extension: the outputs are named after it.
  function stemOf(fileName) {
    const base = fileName.slice(fileName.lastIndexOf('/') + 1);
    const dot = base.lastIndexOf('.');
    return dot > 0 ? base.slice(0, dot) : base;
  }

  function importBoardFile(viderave, { fileName, bytes, options = [], onProgress, onDialog, onConfirm }) {
    const FS = viderave.FS;
    const board = fileName.startsWith('/') ? fileName : `${kBoards}/${fileName}`;
    const report = board.replace(/\.[^./]*$/, '') + '.rpt';
    const stem = stemOf(board);
    FS.mkdirTree(board.slice(0, board.lastIndexOf('/')) || '/');
    FS.writeFile(board, bytes);
    FS.mkdirTree(`${kOutput}/kicad`);
    try {
      const { status, messages } = viderave.importBoard(
        [board, '--json', `${kOutput}/${stem}.json`, '--svg', `${kOutput}/${stem}.svg`,
          '--kicad', `${kOutput}/kicad/${stem}.kicad_pcb`, ...options],
        { onProgress, onDialog, onConfirm });
      return {
        status,
        messages,
        document: readText(FS, `${kOutput}/${stem}.json`),
        svg: readText(FS, `${kOutput}/${stem}.svg`),
        kicad: readTree(FS, `${kOutput}/kicad`, '', {}),
        report: readText(FS, report),
      };
    } finally {
      removeTree(FS, kOutput);
      for (const file of [board, report]) {
        if (FS.analyzePath(file).exists) FS.unlink(file);
      }
    }
  }

  exported.importBoardFile = importBoardFile;
  // A worker's classic script (importScripts) defines it on the worker; node's require exports it.
})(typeof importScripts !== 'function' && typeof module === 'object' ? module.exports : (self.videraveImport = {}));
