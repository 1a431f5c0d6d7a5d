// The page: a file in, the import in a Web Worker with a progress bar and Abort, the board drawn
// from the project's SVG with pan and zoom, the outputs to download.
'use strict';
(() => {
  const $ = (id) => document.getElementById(id);
  // The Abort button reaches the running import through a shared flag, which needs a
  // cross-origin isolated page (scripts/web.sh --serve sends the headers). Without one, Abort
  // stops the worker and the import with it, and no document is made.
  const abortFlag = self.crossOriginIsolated ? new SharedArrayBuffer(4) : null;
  let worker = null;
  let busy = false;
  let urls = [];

  function startWorker() {
    worker = new Worker('worker.js');
    worker.onmessage = (event) => {
      if (event.data.progress) showProgress(event.data.progress);
      if (event.data.result) showResult(event.data.result);
    };
    worker.onerror = (event) => {
      event.preventDefault();
      finish(`The importer stopped: ${event.message}`, true);
      startWorker();
    };
  }

  function showProgress({ caption, steps, total }) {
    $('caption').textContent = caption;
    $('progress').max = Math.max(total, 1);
    $('progress').value = steps;
  }

  function finish(message, failed) {
    busy = false;
    $('run').hidden = true;
    $('outcome').hidden = false;
    $('message').textContent = message;
    $('message').classList.toggle('failed', failed);
  }

  // The last line the host program said about the import, which names the reason it did not
  // complete: not a text PCB file, an empty file, an abort.
  function summary(result) {
    const lines = result.messages.split('\n').filter((line) => line.startsWith('viderave: '));
    const last = lines.reverse().find((line) => /imported|did not complete|cannot/.test(line));
    return last ? last.replace(/^viderave: /, '') : `exit status ${result.status}`;
  }

  function download(name, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    urls.push(url);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.textContent = name;
    $('downloads').append(link);
  }

  function showResult(result) {
    finish(summary(result), result.status !== 0);
    $('messages').textContent = result.messages;
    const stem = result.fileName.replace(/\.[^.]*$/, '');
    if (result.document) download(`${stem}.json`, result.document, 'application/json');
    if (result.svg) download(`${stem}.svg`, result.svg, 'image/svg+xml');
    // The KiCad project's files, the footprint library's among them (one zip is still to come).
    for (const [name, bytes] of Object.entries(result.kicad)) download(name, bytes, 'application/octet-stream');
    if (result.report) download(`${stem}.rpt`, result.report, 'text/plain');
    showBoard(result.svg);
  }

  function showBoard(svgText) {
    const board = $('board');
    board.replaceChildren();
    board.hidden = !svgText;
    if (!svgText) return;
    const svg = new DOMParser().parseFromString(svgText, 'image/svg+xml').documentElement;
    svg.querySelectorAll('script').forEach((script) => script.remove());
    board.append(document.importNode(svg, true));
    panAndZoom(board.querySelector('svg'));
  }

  function panAndZoom(svg) {
    let [x, y, width, height] = svg.getAttribute('viewBox').split(/\s+/).map(Number);
    const apply = () => svg.setAttribute('viewBox', `${x} ${y} ${width} ${height}`);
    svg.addEventListener('wheel', (event) => {
      event.preventDefault();
      const box = svg.getBoundingClientRect();
      const factor = event.deltaY < 0 ? 0.8 : 1.25;
      const px = x + ((event.clientX - box.left) / box.width) * width;
      const py = y + ((event.clientY - box.top) / box.height) * height;
      x = px - (px - x) * factor;
      y = py - (py - y) * factor;
      width *= factor;
      height *= factor;
      apply();
    }, { passive: false });
    let drag = null;
    svg.addEventListener('pointerdown', (event) => {
      drag = { x: event.clientX, y: event.clientY };
      svg.setPointerCapture(event.pointerId);
    });
    svg.addEventListener('pointermove', (event) => {
      if (!drag) return;
      const box = svg.getBoundingClientRect();
      x -= ((event.clientX - drag.x) / box.width) * width;
      y -= ((event.clientY - drag.y) / box.height) * height;
      drag = { x: event.clientX, y: event.clientY };
      apply();
    });
    svg.addEventListener('pointerup', () => { drag = null; });
  }

  async function open(file) {
    if (busy || !file) return;
    busy = true;
    urls.forEach((url) => URL.revokeObjectURL(url));
    urls = [];
    $('downloads').replaceChildren();
    $('messages').textContent = '';
    $('outcome').hidden = true;
    $('run').hidden = false;
    showProgress({ caption: `Reading ${file.name}`, steps: 0, total: 1 });
    const bytes = await file.arrayBuffer();
    if (abortFlag) Atomics.store(new Int32Array(abortFlag), 0, 0);
    const options = $('test-mode').checked ? ['--test-mode'] : [];
    worker.postMessage({ file: { name: file.name, bytes }, options, abortFlag }, [bytes]);
  }

  function abort() {
    if (!busy) return;
    if (abortFlag) {
      Atomics.store(new Int32Array(abortFlag), 0, 1);
      return;
    }
    worker.terminate();
    startWorker();
    finish('Aborted: the import was stopped before its end; nothing was made.', true);
  }

  $('file').addEventListener('change', (event) => {
    open(event.target.files[0]);
    event.target.value = '';
  });
  $('abort').addEventListener('click', abort);
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') abort();
  });
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    open(event.dataTransfer.files[0]);
  });
  startWorker();
})();
