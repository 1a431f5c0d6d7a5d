// The WebAssembly module against the native host program: every example board and generated
// boards of every format level give the same board document, picture and KiCad project, byte for
// byte, when both import the same file under the same full name; an abort and an unticked rules
// box give what the native options give; files that are not boards get the native messages, and
// the same module instance imports a good board right after them.
//
//   node --no-experimental-fetch tests/web/web_module_test.js BUILD_DIR WEB_BUILD_DIR
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const [buildDir, webBuildDir] = process.argv.slice(2).map((dir) => path.resolve(dir));
const sourceDir = path.resolve(__dirname, '..', '..');
const program = path.join(buildDir, 'viderave');
const levels = [...Array(11).keys()];

let viderave;  // one module instance for every test, as one page keeps one
let work;      // the boards, at the same full name on the disk and in the module's file system

before(async () => {
  const createViderave = require(path.join(webBuildDir, 'viderave.js'));
  viderave = await createViderave({ print: () => {}, printErr: () => {} });
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'viderave-web-'));
  for (const example of fs.readdirSync(path.join(sourceDir, 'examples')).filter((f) => f.endsWith('.PCB'))) {
    fs.copyFileSync(path.join(sourceDir, 'examples', example), path.join(work, example));
  }
  // A board of every format level, some with CR LF line ends and nets before the primitives.
  for (const level of levels) {
    const extra = level % 3 === 0 ? ['--crlf', '--nets-first'] : [];
    run(path.join(buildDir, 'boardgen'), ['--level', level, '--seed', level + 41, '--size', 1500, '--defaults',
      '--options', ...extra, '-o', path.join(work, `generated-${level}.PCB`)]);
  }
});

after(() => fs.rmSync(work, { recursive: true, force: true }));

function run(command, args) {
  const result = spawnSync(command, args.map(String), { encoding: 'latin1' });
  if (result.error) throw result.error;
  return result;
}

// The outputs of one import, each file by its name relative to `folder`.
function filesUnder(folder, reader) {
  const files = {};
  const walk = (dir) => {
    for (const name of reader.list(dir).sort()) {
      const full = `${dir}/${name}`;
      if (reader.isFolder(full)) walk(full);
      else files[full.slice(folder.length + 1)] = Buffer.from(reader.read(full));
    }
  };
  walk(folder);
  return files;
}

const disk = {
  list: (dir) => fs.readdirSync(dir),
  isFolder: (file) => fs.statSync(file).isDirectory(),
  read: (file) => fs.readFileSync(file),
};

function memory() {
  const FS = viderave.FS;
  return {
    list: (dir) => FS.readdir(dir).filter((name) => name !== '.' && name !== '..'),
    isFolder: (file) => FS.isDir(FS.stat(file).mode),
    read: (file) => FS.readFile(file),
  };
}

// Puts the board file into the module's file system at the same full name as on the disk.
function placeInModule(board) {
  viderave.FS.mkdirTree(path.dirname(board));
  viderave.FS.writeFile(board, fs.readFileSync(board));
}

// Both imports of `board` with the same options; the outputs go to out-native/ and out-web/.
function importBoth(board, options, handlers = undefined) {
  const stem = path.basename(board, '.PCB');
  const outputs = (folder) => ['--json', `${folder}/${stem}.json`, '--svg', `${folder}/${stem}.svg`,
    '--kicad', `${folder}/${stem}.kicad_pcb`];
  const nativeOut = fs.mkdtempSync(path.join(work, 'out-native-'));
  const native = run(program, ['import', board, ...outputs(nativeOut), ...options]);
  placeInModule(board);
  const webOut = nativeOut.replace('out-native-', 'out-web-');
  viderave.FS.mkdirTree(webOut);
  const web = viderave.importBoard([board, ...outputs(webOut), ...options], handlers);
  return {
    native: { status: native.status, messages: native.stderr, files: filesUnder(nativeOut, disk) },
    web: { status: web.status, messages: web.messages, files: filesUnder(webOut, memory()) },
    nativeOut,
    webOut,
  };
}

function assertSameImport(result, what) {
  assert.equal(result.web.status, result.native.status, `${what}: exit status`);
  assert.equal(result.web.messages.replaceAll(result.webOut, result.nativeOut), result.native.messages,
    `${what}: messages`);
  assert.deepEqual(Object.keys(result.web.files), Object.keys(result.native.files), `${what}: the files written`);
  for (const [name, bytes] of Object.entries(result.native.files)) {
    assert.ok(bytes.equals(result.web.files[name]), `${what}: ${name} differs`);
  }
}

test('the build binds every host function the plug-in asks for', () => {
  assert.deepEqual(viderave.unboundHostFunctions(), []);
});

test('description and recognition as the native program gives them', () => {
  assert.equal(viderave.describe() + '\n', run(program, ['describe']).stdout);
  const board = path.join(work, 'small-2.80.PCB');
  placeInModule(board);
  assert.equal(viderave.recognise(board), true);
  assert.equal(viderave.recognise(path.join(work, 'no-such.PCB')), false);
});

test('every example board and a generated board of every level: identical outputs', () => {
  const boards = fs.readdirSync(work).filter((f) => f.endsWith('.PCB')).sort();
  assert.equal(boards.length, 3 + levels.length);
  for (const name of boards) {
    const result = importBoth(path.join(work, name), ['--test-mode']);
    assert.equal(result.native.status, 0, `${name} imports natively`);
    assert.ok(result.native.files[`${path.basename(name, '.PCB')}.kicad_pcb`], `${name}: a KiCad board`);
    assertSameImport(result, name);
  }
});

test('the rules dialog: closed with OK, with boxes unticked, with its close box', () => {
  const board = path.join(work, 'generated-10.PCB');
  const ticked = importBoth(board, []);
  assertSameImport(ticked, 'dialog with OK');
  // Boxes ticked at first, and one of the routing boxes, which start unticked.
  const unticked = importBoth(board, ['--uncheck', 'SolderMaskCheckBox,PowerGndConnCheckBox,RoutingViaSizeCheckBox']);
  assertSameImport(unticked, '--uncheck');
  assertSameImport(importBoth(board, ['--close-dialog-with-box']), '--close-dialog-with-box');
  const document = (result) => JSON.parse(result.web.files['generated-10.json'].toString('utf8'));
  assert.equal(document(ticked).host.dialogs.length, 1, 'the dialog was shown');
  assert.notDeepEqual(document(ticked).objects, document(unticked).objects, 'unticking boxes changes the rules made');
});

test('the rules dialog shown by the caller: its answers give what the native options give', () => {
  const board = path.join(work, 'generated-10.PCB');
  const shown = [];
  const answering = (answer) => ({ onDialog: (dialog) => { shown.push(dialog); return answer; } });
  const unticked = importBoth(board, [], answering({ result: 1, checked: { SolderMaskCheckBox: false, PowerGndConnCheckBox: false } }));
  const byOption = importBoth(board, ['--uncheck', 'SolderMaskCheckBox,PowerGndConnCheckBox']);
  assert.ok(unticked.web.files['generated-10.json'].equals(byOption.native.files['generated-10.json']), 'as --uncheck');
  const closed = importBoth(board, [], answering({ result: 2 }));
  const closedByOption = importBoth(board, ['--close-dialog-with-box']);
  assert.ok(closed.web.files['generated-10.json'].equals(closedByOption.native.files['generated-10.json']),
    'as --close-dialog-with-box');
  const untouched = importBoth(board, [], answering(undefined));
  assertSameImport(untouched, 'no answer: OK with the boxes as they were');

  const dialog = shown[0];
  assert.equal(shown.length, 3, 'asked once per import');
  assert.match(dialog.caption, /Design Rule Translation/);
  assert.match(dialog.help, /Untick a family/);
  const boxes = dialog.controls.filter((control) => control.kind === 'checkbox');
  assert.equal(boxes.length, 8);
  assert.ok(boxes.every((box) => box.caption.endsWith('rules') && box.parent >= 0));
  const ok = dialog.controls.find((control) => control.caption === 'OK');
  assert.equal(ok.kind, 'button');
  assert.equal(ok.modalResult, 1);

  // Help reaches the plug-in, which asks the host for its help topic, as a click in the terminal does.
  const help = dialog.controls.find((control) => control.caption === 'Help');
  const helped = importBoth(board, [], answering({ result: 1, clicks: [help.index] }));
  const commands = (result) => JSON.parse(result.web.files['generated-10.json'].toString('utf8')).host.commands;
  assert.equal(commands(helped).length, commands(untouched).length + 1);
  assert.match(JSON.stringify(commands(helped)), /RunHelpTopic/);
  // --uncheck wins over the page, as it wins over the terminal.
  assertSameImport(importBoth(board, ['--uncheck', 'SolderMaskCheckBox'], answering({ result: 2 })), '--uncheck first');
});

test('Escape at a progress step, by option and by the progress callback', () => {
  const board = path.join(work, 'generated-10.PCB');
  const byOption = importBoth(board, ['--test-mode', '--escape-at', '5']);
  assert.equal(byOption.native.status, 1, 'the abort ends the import');
  assertSameImport(byOption, '--escape-at 5');
  // The page's Abort: the callback answers true at step 5, as the option posts Escape there.
  const steps = [];
  const byCallback = importBoth(board, ['--test-mode'], {
    onProgress: (caption, step, total) => {
      steps.push([caption, step, total]);
      return step === 5;
    },
  });
  assert.equal(byCallback.web.status, 1);
  const escaped = byOption.web.files['generated-10.json'];
  assert.ok(byCallback.web.files['generated-10.json'].equals(escaped), 'the same document as --escape-at 5');
  assert.deepEqual(steps.slice(0, 2).map((s) => s[1]), [0, 1], 'told of the start, then of each step');
  assert.ok(steps[0][0].length > 0 && steps[0][2] > 5, 'a caption and a total');
  // Abort refused: the import runs on to the end.
  const refused = importBoth(board, ['--test-mode', '--escape-at', '5', '--confirm-abort', 'no']);
  assertSameImport(refused, '--escape-at 5 --confirm-abort no');
  // The confirmation asked by the caller, with its caption and text, as --confirm-abort answers it.
  const questions = [];
  const asking = (yes) => ({ onConfirm: (caption, text) => questions.push([caption, text]) && yes });
  const confirmedNo = importBoth(board, ['--test-mode', '--escape-at', '5'], asking(false));
  assert.ok(confirmedNo.web.files['generated-10.json'].equals(refused.native.files['generated-10.json']), 'as no');
  const confirmedYes = importBoth(board, ['--test-mode', '--escape-at', '5'], asking(true));
  assert.ok(confirmedYes.web.files['generated-10.json'].equals(escaped), 'as yes');
  assert.equal(questions.length, 2);
  assert.ok(questions[0][0].length > 0 && /abort/i.test(questions[0].join(' ')), 'a caption and a question');
  // --confirm-abort answers first, as it does before the terminal.
  assertSameImport(importBoth(board, ['--test-mode', '--escape-at', '5', '--confirm-abort', 'no'], asking(true)),
    '--confirm-abort before the caller');
  assert.equal(questions.length, 2);
});

test('not a board, empty, truncated, missing: the native messages, then a good board imports', () => {
  const good = fs.readFileSync(path.join(work, 'small-2.80.PCB'));
  const refused = {
    'notes.PCB': [Buffer.from('These are the notes of the board, not the board.\n'), /not a text PCB file/],
    'empty.PCB': [Buffer.alloc(0), /the file is empty/],
    'binary.PCB': [Buffer.from([0x50, 0x4b, 0x03, 0x04, 0, 0, 0x80, 0xff, 0x0a]), /not a text PCB file: .*\\x80\\xFF/],
  };
  for (const [name, [bytes, why]] of Object.entries(refused)) {
    const board = path.join(work, name);
    fs.writeFileSync(board, bytes);
    const result = importBoth(board, ['--test-mode']);
    assert.equal(result.web.status, 1, `${name} does not import`);
    assert.match(result.web.messages, why, `${name}: says why`);
    assertSameImport(result, name);
  }
  // A board cut short in the middle of a record: what the file holds is imported, as natively.
  for (const fraction of [3, 2]) {
    const board = path.join(work, `truncated-${fraction}.PCB`);
    fs.writeFileSync(board, good.subarray(0, Math.floor(good.length / fraction) + 7));
    assertSameImport(importBoth(board, ['--test-mode']), `truncated to 1/${fraction}`);
  }
  const missing = viderave.importBoard([path.join(work, 'never-written.PCB'), '--test-mode'], undefined);
  assert.equal(missing.status, 2);
  assert.match(missing.messages, /cannot read .*never-written\.PCB: no such file/);
  const usage = viderave.importBoard(['--escape-at', 'soon'], undefined);
  assert.equal(usage.status, 2);
  assert.match(usage.messages, /--escape-at/);
  assertSameImport(importBoth(path.join(work, 'small-2.80.PCB'), ['--test-mode']), 'a good board after them');
});

test('a progress callback that throws ends that import only', () => {
  const board = path.join(work, 'generated-7.PCB');
  placeInModule(board);
  assert.throws(() => viderave.importBoard([board, '--test-mode', '--no-document'], {
    onProgress: (caption, step) => {
      if (step === 3) throw new Error('the page went away');
      return false;
    },
  }), /the page went away/);
  assertSameImport(importBoth(board, ['--test-mode']), 'the next import');
});

// What the page's worker uses: the file by its bytes, the outputs gathered, the memory emptied.
test('importBoardFile: outputs as the host program writes them, nothing left behind', () => {
  const { importBoardFile } = require(path.join(sourceDir, 'web', 'viderave_import.js'));
  const board = path.join(work, 'legacy-1.10.PCB');
  const native = importBoth(board, ['--test-mode']).native.files;
  const steps = [];
  const result = importBoardFile(viderave, {
    fileName: board,
    bytes: fs.readFileSync(board),
    options: ['--test-mode'],
    onProgress: (caption, step) => steps.push(step) && false,
  });
  assert.equal(result.status, 0);
  assert.equal(result.document, native['legacy-1.10.json'].toString('utf8'));
  assert.equal(result.svg, native['legacy-1.10.svg'].toString('utf8'));
  const kicad = Object.fromEntries(Object.entries(native).filter(([name]) => !/\.(json|svg)$/.test(name)));
  assert.deepEqual(Object.keys(result.kicad), Object.keys(kicad));
  for (const [name, bytes] of Object.entries(kicad)) assert.ok(bytes.equals(Buffer.from(result.kicad[name])), name);
  assert.match(result.report, /legacy-1\.10/, 'the layer report of this older board');
  assert.ok(steps.length > 10);
  assert.equal(viderave.FS.analyzePath(board).exists, false, 'the board file is removed');
  assert.equal(viderave.FS.analyzePath('/output').exists, false, 'the outputs are removed');
  // A plain file name lands in /boards; a refused file still gives its message.
  const refused = importBoardFile(viderave, { fileName: 'notes.PCB', bytes: Buffer.from('notes\n') });
  assert.equal(refused.status, 1);
  assert.match(refused.messages, /\/boards\/notes\.PCB: not a text PCB file/);
  assert.match(refused.document, /"fileName": *"\/boards\/notes\.PCB"/, 'the (empty) board is saved all the same');
});

// The page's worker (web/page/worker.js, as scripts/web.sh puts it in WEB_BUILD_DIR/site/) in a
// node worker thread, with importScripts and postMessage as a browser's worker has them.
const site = path.join(webBuildDir, 'site');
const workerShim = `
  const { parentPort, workerData } = require('node:worker_threads');
  const fs = require('node:fs');
  const path = require('node:path');
  const vm = require('node:vm');
  globalThis.self = globalThis;
  globalThis.__dirname = workerData.site;
  self.postMessage = (message) => parentPort.postMessage(message);
  self.importScripts = (...files) => files.forEach((file) =>
    vm.runInThisContext(fs.readFileSync(path.join(workerData.site, file), 'utf8'), { filename: file }));
  parentPort.on('message', (data) => self.onmessage({ data }));
  importScripts('worker.js');
`;

// Sends a file to the worker as the page does, answers a rules dialog as the page does (through
// the shared memory, worker.js), and gives the worker's result with the progress it sent.
function runInWorker(worker, file, options, shared, answers = {}) {
  return new Promise((resolve, reject) => {
    const progress = [];
    const dialogs = [];
    const onMessage = (message) => {
      if (message.progress) progress.push(message.progress);
      if (message.dialog || message.confirm) {
        dialogs.push(message.dialog || message.confirm);
        const bytes = new TextEncoder().encode(JSON.stringify(message.dialog ? answers.dialog : answers.confirm));
        const flags = new Int32Array(shared);
        new Uint8Array(shared, 12, bytes.length).set(bytes);
        Atomics.store(flags, 2, bytes.length);
        Atomics.store(flags, 1, 1);
        Atomics.notify(flags, 1);
      }
      if (message.result) {
        worker.off('message', onMessage);
        resolve({ ...message.result, progress, dialogs });
      }
    };
    worker.on('message', onMessage);
    worker.once('error', reject);
    const bytes = fs.readFileSync(file);
    const buffer = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length);
    worker.postMessage({ file: { name: path.basename(file), bytes: buffer }, options, shared });
  });
}

test('the page worker: imports, aborts and answers the dialog through shared memory, refuses, imports again', {
  skip: !fs.existsSync(path.join(site, 'worker.js')) && 'no page in WEB_BUILD_DIR/site (scripts/web.sh puts it there)',
}, async () => {
  const { Worker } = require('node:worker_threads');
  // In node the module finds its .wasm in the working folder (a browser's worker: beside itself).
  const folder = process.cwd();
  process.chdir(site);
  const worker = new Worker(workerShim, { eval: true, workerData: { site } });
  try {
    const board = path.join(work, 'generated-9.PCB');
    const nativeDocument = JSON.parse(fs.readFileSync(importBoth(board, ['--test-mode']).nativeOut + '/generated-9.json'));
    const imported = await runInWorker(worker, board, ['--test-mode'], null);
    assert.equal(imported.status, 0);
    assert.equal(imported.fileName, 'generated-9.PCB');
    assert.deepEqual(JSON.parse(imported.document).objects.length, nativeDocument.objects.length);
    assert.ok(imported.kicad['generated-9.kicad_pcb'] && imported.svg.startsWith('<?xml'));
    assert.equal(imported.progress[0].steps, 0, 'the bar starts at 0');
    assert.equal(imported.progress.at(-1).steps, imported.progress.at(-1).total, 'and ends full');

    const flag = new SharedArrayBuffer(64 * 1024);
    Atomics.store(new Int32Array(flag), 0, 1);  // Abort pressed as the import starts
    const aborted = await runInWorker(worker, board, ['--test-mode'], flag, { confirm: { yes: true } });
    assert.equal(aborted.status, 1);
    assert.match(aborted.messages, /aborted: the abort was confirmed/);
    assert.equal(Atomics.load(new Int32Array(flag), 0), 0, 'the flag is taken');

    // The rules dialog, answered by the page while the worker waits: as --uncheck.
    const answered = await runInWorker(worker, board, [], flag,
      { dialog: { result: 1, checked: { SolderMaskCheckBox: false, PowerGndConnCheckBox: false }, clicks: [] } });
    assert.equal(answered.dialogs.length, 1);
    assert.ok(answered.dialogs[0].controls.some((control) => control.name === 'SolderMaskCheckBox'));
    const unticked = importBoth(board, ['--uncheck', 'SolderMaskCheckBox,PowerGndConnCheckBox']);
    assert.deepEqual(JSON.parse(answered.document).objects,
      JSON.parse(unticked.native.files['generated-9.json'].toString('utf8')).objects);
    // Abort pressed, then refused when the page asks: the import runs to its end.
    Atomics.store(new Int32Array(flag), 0, 1);
    const kept = await runInWorker(worker, board, ['--test-mode'], flag, { confirm: { yes: false } });
    assert.equal(kept.status, 0);
    assert.match(kept.dialogs[0].text, /abort/i);
    const asked = JSON.parse(answered.document).host.dialogs;
    assert.equal(asked[0].Controls.find((control) => control.Name === 'SolderMaskCheckBox').Checked, false);

    const notes = path.join(work, 'notes.PCB');
    const refused = await runInWorker(worker, notes, ['--test-mode'], flag);
    assert.equal(refused.status, 1);
    assert.match(refused.messages, /not a text PCB file/);
    assert.equal((await runInWorker(worker, board, ['--test-mode'], flag)).document, imported.document);
  } finally {
    await worker.terminate();
    process.chdir(folder);
  }
});
