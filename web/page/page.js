// The page: a file in, the import in a Web Worker with a progress bar and Abort, the board drawn
// from the project's SVG with pan and zoom, the outputs to download.
'use strict';
(() => {
  const $ = (id) => document.getElementById(id);
  // The Abort button reaches the running import through a shared flag, which needs a
  // cross-origin isolated page (scripts/web.sh --serve sends the headers). Without one, Abort
  // stops the worker and the import with it, and no document is made.
  // The same shared memory carries the page's answer to the rules dialog (worker.js: its layout).
  const shared = self.crossOriginIsolated ? new SharedArrayBuffer(64 * 1024) : null;
  const flags = shared ? new Int32Array(shared) : null;
  const kAnswerAt = 12;
  let worker = null;
  let busy = false;
  let urls = [];

  function startWorker() {
    worker = new Worker('worker.js');
    worker.onmessage = (event) => {
      if (event.data.progress) showProgress(event.data.progress);
      if (event.data.dialog) showDialog(event.data.dialog);
      if (event.data.confirm) answerWorker({ yes: window.confirm(`${event.data.confirm.caption}\n\n${event.data.confirm.text}`) });
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
    showBoard(result.svg, result.document);
  }

  function showBoard(svgText, documentText) {
    const board = $('board');
    board.replaceChildren();
    $('view').hidden = !svgText;
    if (!svgText) return;
    const svg = new DOMParser().parseFromString(svgText, 'image/svg+xml').documentElement;
    svg.querySelectorAll('script').forEach((script) => script.remove());
    board.append(document.importNode(svg, true));
    const shown = board.querySelector('svg');
    panAndZoom(shown);
    const objects = documentText ? JSON.parse(documentText).objects : [];
    const byHandle = new Map(objects.map((object) => [object.Handle, object]));
    showLayers(shown);
    identifyOnClick(shown, byHandle);
    listNames(shown, objects, byHandle);
  }

  // A box per layer group of the picture, ticked while the layer is drawn.
  function showLayers(svg) {
    const layers = $('layers');
    layers.replaceChildren();
    for (const group of svg.querySelectorAll('g.layer')) {
      const row = document.createElement('label');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.checked = true;
      box.addEventListener('change', () => { group.style.display = box.checked ? '' : 'none'; });
      row.append(box, ` ${group.id}`);
      layers.append(row);
    }
  }

  // The object's designator text, or its name.
  function nameOf(object, byHandle) {
    if (!object) return '';
    if (object.Kind === 'Component') return (byHandle.get(object.NameText) || {}).Text || object.Pattern || '';
    return object.Name || object.Text || '';
  }

  // The component that holds the object: named by it, or among its containers.
  function ownerOf(object, byHandle) {
    if (object.Component) return object.Component;
    return (object.Containers || []).find((handle) => (byHandle.get(handle) || {}).Kind === 'Component') || 0;
  }

  function identifyOnClick(svg, byHandle) {
    let moved = false;
    svg.addEventListener('pointerdown', () => { moved = false; });
    svg.addEventListener('pointermove', () => { moved = true; });
    svg.addEventListener('click', (event) => {
      if (moved) return;
      const element = event.target.closest('[data-handle]');
      const object = element && byHandle.get(Number(element.getAttribute('data-handle')));
      if (!object) {
        $('identified').textContent = 'Click an object to identify it.';
        return;
      }
      const layer = element.closest('g.layer');
      const net = byHandle.get(object.Net);
      const owner = byHandle.get(ownerOf(object, byHandle));
      const parts = [object.Kind, `layer ${layer ? layer.id : object.Layer}`];
      if (net) parts.push(`net ${nameOf(net, byHandle)}`);
      if (owner && owner.Kind === 'Component') parts.push(`component ${nameOf(owner, byHandle)}`);
      if (object.Text) parts.push(`"${object.Text}"`);
      $('identified').textContent = parts.join(' \u00b7 ');
    });
  }

  // Components and nets by name; a search narrows the list, a click lights what it names.
  function listNames(svg, objects, byHandle) {
    const members = new Map();
    for (const object of objects) {
      for (const owner of [object.Net, ownerOf(object, byHandle)]) {
        if (!owner) continue;
        if (!members.has(owner)) members.set(owner, []);
        members.get(owner).push(object.Handle);
      }
    }
    const named = objects.filter((object) => object.Kind === 'Component' || object.Kind === 'Net')
      .map((object) => ({ object, label: `${object.Kind === 'Net' ? 'net' : 'component'} ${nameOf(object, byHandle)}` }))
      .sort((a, b) => a.label.localeCompare(b.label));
    const list = $('names');
    const light = (item, handles) => {
      svg.querySelectorAll('.lit').forEach((element) => element.classList.remove('lit'));
      list.querySelectorAll('.named').forEach((row) => row.classList.remove('named'));
      item.classList.add('named');
      for (const handle of handles) {
        svg.querySelectorAll(`[data-handle="${handle}"]`).forEach((element) => element.classList.add('lit'));
      }
    };
    const show = () => {
      const wanted = $('search').value.trim().toLowerCase();
      list.replaceChildren();
      for (const { object, label } of named) {
        if (wanted && !label.toLowerCase().includes(wanted)) continue;
        const item = document.createElement('li');
        item.textContent = label;
        item.addEventListener('click', () => light(item, [object.Handle, ...(members.get(object.Handle) || [])]));
        list.append(item);
      }
    };
    $('search').oninput = show;
    show();
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
    if (flags) Atomics.store(flags, 0, 0);
    const options = $('test-mode').checked ? ['--test-mode'] : [];
    worker.postMessage({ file: { name: file.name, bytes }, options, shared }, [bytes]);
  }

  // Writes the answer to the worker's question into the shared memory and wakes the worker.
  function answerWorker(answer) {
    const bytes = new TextEncoder().encode(JSON.stringify(answer));
    new Uint8Array(shared, kAnswerAt, bytes.length).set(bytes);
    Atomics.store(flags, 2, bytes.length);
    Atomics.store(flags, 1, 1);
    Atomics.notify(flags, 1);
  }

  // The rules dialog as the plug-in describes it: its label, the boxes in their group boxes, its
  // buttons (Help shows the help and is told to the plug-in), and the close box.
  function showDialog(description) {
    const dialog = $('rules');
    const clicks = [];
    dialog.replaceChildren();
    const title = document.createElement('h2');
    title.textContent = description.caption.trim();
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'close';
    close.title = 'Close';
    close.textContent = '\u00d7';
    title.append(close);
    dialog.append(title);
    const groups = new Map();
    const boxes = [];
    for (const control of description.controls) {
      if (control.kind === 'TLabel') {
        const label = document.createElement('p');
        label.textContent = control.caption;
        dialog.append(label);
      } else if (/GroupBox/.test(control.kind)) {
        const group = document.createElement('fieldset');
        const legend = document.createElement('legend');
        legend.textContent = control.caption;
        group.append(legend);
        groups.set(control.index, group);
        dialog.append(group);
      }
    }
    for (const control of description.controls.filter((c) => c.kind === 'checkbox')) {
      const row = document.createElement('label');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.checked = control.checked;
      box.disabled = !control.enabled;
      box.name = control.name;
      row.append(box, ` ${control.caption}`);
      (groups.get(control.parent) || dialog).append(row);
      boxes.push(box);
    }
    const help = document.createElement('pre');
    help.className = 'help';
    help.hidden = true;
    help.textContent = description.help;
    const buttons = document.createElement('div');
    buttons.className = 'buttons';
    const answer = (result) => {
      const checked = Object.fromEntries(boxes.map((box) => [box.name, box.checked]));
      answerWorker({ result, checked, clicks });
      dialog.close();
    };
    for (const control of description.controls.filter((c) => c.kind === 'button')) {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = control.caption;
      button.disabled = !control.enabled;
      button.addEventListener('click', () => {
        if (control.modalResult !== 0) {
          answer(control.modalResult);
        } else {
          clicks.push(control.index);
          help.hidden = control.caption !== 'Help';
        }
      });
      buttons.append(button);
    }
    close.addEventListener('click', () => answer(2));
    // Escape closes a dialog as its close box does.
    dialog.oncancel = (event) => {
      event.preventDefault();
      answer(2);
    };
    dialog.append(help, buttons);
    dialog.showModal();
  }

  function abort() {
    if (!busy || $('rules').open) return;
    if (flags) {
      Atomics.store(flags, 0, 1);
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
