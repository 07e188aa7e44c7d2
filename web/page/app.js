//# allFunctionsCalledOnLoad
'use strict';
// The page's side of the program: the menu, the tool panel, the scrolled
// graph area and the roads by which a file arrives. Every setting lives in
// the core; the page only passes texts and values in and paints.
// The first line asks the browser to compile every function as the script
// loads, not at its first call: the first picture would wait on a few
// milliseconds of compiling.

(() => {
  const kChunkBytes = 1 << 16;
  const kQuietMs = 2000;

  const kTexts = {
    file: ['ファイル(F)', 'File'], open: ['開く(O)...', 'Open...'],
    png: ['PNG をダウンロード', 'Download PNG'], svg: ['SVG をダウンロード', 'Download SVG'],
    copyLink: ['リンクをコピー', 'Copy link'],
    copyPngLink: ['PNG 画像のリンクをコピー', 'Copy PNG image link'],
    copySvgLink: ['SVG 画像のリンクをコピー', 'Copy SVG image link'],
    view: ['表示(V)', 'View'], tool: ['ツール(T)...', 'Tool...'], values: ['数値の一覧', 'Values'],
    number: ['番号', 'No.'], value: ['値', 'Value'], points: ['点', 'points'],
    readout: ['点 %n: %v', 'Point %n: %v'], noValues: ['グラフ(値はまだありません)', 'Graph (no values yet)'],
    graphText: ['%c 個の値の折れ線グラフ(最小 %l、最大 %h)', 'Line graph of %c values, lowest %l, highest %h'],
    help: ['ヘルプ(H)', 'Help'], about: ['バージョン情報(A)...', 'About...'],
    graph: ['グラフ', 'Graph'], toolTitle: ['ツール', 'Tool'],
    hint: ['数値を1行に1つ書いたテキストファイルをここにドロップするか、貼り付けるか、ファイル > 開く で選んでください。',
      'Drop a text file with one number per line here, paste numbers, or choose File > Open.'],
    imageSize: ['画像サイズ', 'Image size'], width: ['幅', 'Width'], height: ['高さ', 'Height'],
    widthSlider: ['幅のスライダー', 'Width slider'], heightSlider: ['高さのスライダー', 'Height slider'],
    marginBackground: ['余白・背景', 'Margins and background'], left: ['左', 'Left'],
    vertical: ['上下', 'Top/bottom'], background: ['背景色', 'Background'], transparent: ['透過', 'Transparent'],
    line: ['線', 'Line'], lineWidth: ['線幅', 'Width'], lineColor: ['線色', 'Colour'], lineStyle: ['線種', 'Style'],
    point: ['点', 'Points'], pointSize: ['サイズ', 'Size'], pointKind: ['点種', 'Shape'], interval: ['間隔', 'Interval'],
    axes: ['座標軸', 'Axes'], xTick: ['X軸目盛り間隔', 'X tick interval'], yTick: ['Y軸目盛り単位', 'Y tick unit'],
    display: ['表示', 'Show'],
    graphGroup: ['グラフ', 'Graph'], ratio: ['比率', 'Ratio'], autoRatio: ['自動比率計算', 'Automatic ratio'],
    ok: ['OK', 'OK'], close: ['閉じる', 'Close'], switchTo: ['English', '日本語'],
    unreadable: ['ファイル「%s」を読めませんでした。グラフはそのままです。', 'The file "%s" could not be read; the graph is unchanged.'],
    noPicture: ['保存する画像がありません(幅か高さが 0 です)。', 'There is no picture to save (its width or height is 0).'],
    tooLarge: ['この画像はブラウザーで PNG にするには大きすぎます。', 'This picture is too large for the browser to make a PNG of.'],
    notReady: ['まだ読み込み中です。', 'The page is still loading.'],
    linkCopied: ['このグラフのリンクをコピーしました。', 'The link to this graph has been copied.'],
    linkInAddress: ['このグラフのリンクをアドレス欄に入れました。', 'The link to this graph is now in the address bar.'],
    imageLinkCopied: ['このグラフの画像のリンクをコピーしました。', 'The image link of this graph has been copied.'],
    imageLinkIs: ['このグラフの画像のリンク: %s', 'The image link of this graph: %s'],
    badLink: ['リンクが壊れているため開けませんでした。グラフはそのままです。',
      'The link is damaged and could not be opened; the graph is unchanged.'],
  };

  const $ = (id) => document.getElementById(id);
  const view = $('view');
  const spacer = $('spacer');
  const graphArea = $('graph-area');
  const canvas = $('canvas');
  const context = canvas.getContext('2d');
  const messageLine = $('message');
  const tool = $('tool');
  const fileInput = $('file-input');
  const edits = [...document.querySelectorAll('input[data-id]')];
  const editById = (id) => $('e' + id);

  // The list items in English, by the core's names; in Japanese they are the core's labels.
  const kEnglishChoices = {graph: 'Graph only', axes: 'Axes only', both: 'Graph and axes', solid: 'Solid',
    dash: 'Dash', dot: 'Dot', 'dash-dot': 'Dash-dot', 'dash-dot-dot': 'Dash-dot-dot'};

  let core = null;
  // What the core offers, as the dialog offers it (WebApi.h, ZimbelSettings).
  let table = null;
  let language = navigator.language && navigator.language.toLowerCase().startsWith('ja') ? 0 : 1;
  let fileName = 'zimbelplot';
  let paintQueued = false;
  let paints = 0;
  let loading = Promise.resolve();

  const text = (key) => kTexts[key][language];

  function say(message) {
    messageLine.textContent = message;
  }

  const valueText = (index) => taken(core._ZimbelValueText(index));

  function applyLanguage() {
    document.documentElement.lang = language === 0 ? 'ja' : 'en';
    for (const element of document.querySelectorAll('[data-text]')) {
      element.textContent = text(element.dataset.text);
    }
    $('cmd-language').textContent = text('switchTo');
    $('cmd-language').lang = language === 0 ? 'en' : 'ja';
    tool.setAttribute('aria-label', text('toolTitle'));
    showChoiceLabels();
    showLineStyle();
    describeGraph();
    if (pointed >= 0) showReadout();
  }

  // --- Painting --------------------------------------------------------------

  // The canvas covers only the part of the view the picture fills, so a huge
  // picture costs no more to redraw than a small one and the page's own
  // colour shows around a small one; it has a device pixel for each of the
  // screen's: sharp at any ratio. A setting paints at once, so the
  // change is on screen at the next frame; scrolling paints once a frame.
  // Sizes are set only when they change: each one set is a layout. The
  // view's size and scroll position are read again only when they may have
  // moved (a new image size, or a scroll, resize or panel that asked for a
  // paint): read after a setting has changed a field, they would force a
  // layout before the picture could be drawn.
  const shown = {width: -1, height: -1, canvasWidth: -1, canvasHeight: -1, ratio: 0, pictureHeight: -1};
  let geometry = null;

  function paintNow() {
    paintQueued = false;
    if (!core) return;
    const width = Math.max(core._ZimbelImageWidth(), 0);
    const height = Math.max(core._ZimbelImageHeight(), 0);
    if (width !== shown.width || height !== shown.height) {
      spacer.style.width = width + 'px';
      spacer.style.height = height + 'px';
      Object.assign(shown, {width, height});
      geometry = null;
    }
    geometry = geometry || {viewWidth: view.clientWidth, viewHeight: view.clientHeight,
      frameHeight: view.offsetHeight - view.clientHeight, scrollX: view.scrollLeft, scrollY: view.scrollTop};
    const {viewWidth, viewHeight, frameHeight, scrollX, scrollY} = geometry;
    const ratio = window.devicePixelRatio || 1;
    const canvasWidth = Math.min(viewWidth, width);
    const canvasHeight = Math.min(viewHeight, height);
    if (canvasWidth !== shown.canvasWidth || canvasHeight !== shown.canvasHeight || ratio !== shown.ratio) {
      canvas.width = Math.round(canvasWidth * ratio);
      canvas.height = Math.round(canvasHeight * ratio);
      canvas.style.width = canvasWidth + 'px';
      canvas.style.height = canvasHeight + 'px';
      Object.assign(shown, {canvasWidth, canvasHeight, ratio});
    }
    const pictureHeight = height + frameHeight;
    if (pictureHeight !== shown.pictureHeight) {
      graphArea.style.setProperty('--picture-height', pictureHeight + 'px');
      shown.pictureHeight = pictureHeight;
    }
    core.zimbelContext = context;
    core._ZimbelPaint(scrollX, scrollY, viewWidth, viewHeight, ratio);
    canvas.dataset.paints = String(++paints);
    if (pointed >= 0) showReadout();
  }

  // Moving the window to another screen or zooming changes the ratio; each
  // query matches one ratio, so a change sets up the next one.
  function followPixelRatio() {
    matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`).addEventListener('change', () => {
      followPixelRatio();
      schedulePaint();
    }, {once: true});
  }

  function schedulePaint() {
    geometry = null;
    if (paintQueued) return;
    paintQueued = true;
    requestAnimationFrame(paintNow);
  }

  // --- Fields ----------------------------------------------------------------

  function withCString(value, call) {
    const bytes = new TextEncoder().encode(value);
    const pointer = core._malloc(bytes.length + 1);
    core.HEAPU8.set(bytes, pointer);
    core.HEAPU8[pointer + bytes.length] = 0;
    try {
      return call(pointer);
    } finally {
      core._free(pointer);
    }
  }

  // Typing goes through one buffer, not an allocation a key. The core keeps
  // no more than 255 bytes of a field, so a longer text loses nothing kept.
  const kFieldBytes = 1024;
  const encoder = new TextEncoder();
  let fieldBuffer = 0;

  function setFieldText(id, value) {
    if (!core) return;
    fieldBuffer = fieldBuffer || core._malloc(kFieldBytes + 1);
    const {written} = encoder.encodeInto(value, core.HEAPU8.subarray(fieldBuffer, fieldBuffer + kFieldBytes));
    core.HEAPU8[fieldBuffer + written] = 0;
    core._ZimbelSetText(id, fieldBuffer);
    paintNow();
  }

  function setValue(id, value) {
    if (!core) return;
    core._ZimbelSetValue(id, value);
    paintNow();
  }

  // Every string the core returns is ours to copy and free.
  function taken(pointer) {
    try {
      return core.UTF8ToString(pointer);
    } finally {
      core._free(pointer);
    }
  }

  function readAllFields() {
    for (const edit of edits) edit.value = taken(core._ZimbelFieldText(Number(edit.dataset.id)));
  }

  const isInteger = (edit) => table && row(Number(edit.dataset.id)).kind === 'integer';
  const sliderOf = (id) => row(id).slider && $('s' + row(id).slider);

  function setSlider(id, value) {
    sliderOf(id).value = String(Math.min(Math.max(value, table.sliderMin), table.sliderMax));
  }

  function showSliders() {
    for (const setting of table.settings) {
      if (setting.slider) setSlider(setting.id, parseInt(editById(setting.id).value, 10) || 0);
    }
  }

  // Digits only and no more of them than the window's number fields take.
  function onEditInput(edit) {
    if (!table) return;
    if (isInteger(edit)) {
      const digits = edit.value.replace(/[^0-9]/g, '').slice(0, table.fieldDigits);
      if (digits !== edit.value) edit.value = digits;
    }
    const id = Number(edit.dataset.id);
    setFieldText(id, edit.value);
    if (sliderOf(id) && document.activeElement === edit) setSlider(id, parseInt(edit.value, 10) || 0);
  }

  // One step of the spin beside an integer field, within the spin's range;
  // the size sliders first show where the spin was, as the window's do.
  function spinStep(edit, delta) {
    if (!table) return;
    const min = Number(edit.dataset.min);
    const max = Number(edit.dataset.max);
    const before = Math.min(Math.max(parseInt(edit.value, 10) || 0, min), max);
    const after = Math.min(Math.max(before + delta, min), max);
    const id = Number(edit.dataset.id);
    if (sliderOf(id)) setSlider(id, before);
    if (String(after) === edit.value) return;
    edit.value = String(after);
    onEditInput(edit);
  }

  // A position is rounded to the size it gives and handed to the field.
  function onSliderMoved(id, position) {
    if (!core) return;
    const snapped = core._ZimbelSliderSize(position);
    setSlider(id, snapped);
    const edit = editById(id);
    edit.value = String(snapped);
    setFieldText(id, edit.value);
  }

  function onSliderKey(id, event) {
    const position = Number(sliderOf(id).value);
    if (!table) return;
    const {sizeStep, sliderPage, sliderMin, sliderMax} = table;
    const moves = {
      ArrowRight: position + sizeStep, ArrowUp: position + sizeStep,
      ArrowLeft: position - sizeStep, ArrowDown: position - sizeStep,
      PageUp: position + sliderPage, PageDown: position - sliderPage, Home: sliderMin, End: sliderMax,
    };
    if (!(event.key in moves)) return;
    event.preventDefault();
    onSliderMoved(id, Math.min(Math.max(moves[event.key], sliderMin), sliderMax));
  }

  function setColor(id, hex) {
    if (!core) return;
    withCString(hex, (pointer) => core._ZimbelSetColorText(id, pointer));
    $('k1023').checked = core._ZimbelValue(1023) !== 0;
    paintNow();
  }

  const colorText = (id) => taken(core._ZimbelColorText(id));
  const row = (id) => table.settings.find((setting) => setting.id === id);
  const choiceLabel = (setting, i) => (language === 1 && kEnglishChoices[setting.choices[i]]) || setting.labels[i];

  // --- Line-style list -----------------------------------------------------

  const styleButton = $('l1020');
  const styleList = $('line-styles');
  let lineStyle = 0;

  function sampleSvg(runs) {
    const rects = runs.map(([a, b]) => `<rect x="${a}" y="7" width="${b - a + 1}" height="2"/>`).join('');
    return `<svg width="64" height="16" viewBox="0 0 64 16" aria-hidden="true">${rects}</svg>`;
  }

  function showLineStyle() {
    if (!table) return;
    styleButton.innerHTML = sampleSvg(table.lineSamples[lineStyle]) + '<span class="hidden-label"></span>';
    styleButton.dataset.value = String(lineStyle);
    styleButton.lastChild.textContent = choiceLabel(row(1020), lineStyle);
    styleList.querySelectorAll('li').forEach((item, i) => {
      item.setAttribute('aria-selected', String(i === lineStyle));
      item.setAttribute('aria-label', choiceLabel(row(1020), i));
    });
  }

  function chooseLineStyle(index) {
    if (!table || index < 0 || index >= table.lineSamples.length) return;
    if (index !== lineStyle) {
      lineStyle = index;
      setValue(1020, index);
    }
    showLineStyle();
  }

  function openStyleList(open) {
    styleList.hidden = !open;
    styleButton.setAttribute('aria-expanded', String(open));
    if (open) {
      styleList.setAttribute('aria-activedescendant', 'style-' + lineStyle);
      styleList.focus();
    }
  }

  function buildStyleList() {
    table.lineSamples.forEach((runs, i) => {
      const item = document.createElement('li');
      item.id = 'style-' + i;
      item.setAttribute('role', 'option');
      item.innerHTML = sampleSvg(runs);
      item.addEventListener('mousedown', (event) => event.preventDefault());
      item.addEventListener('click', () => {
        chooseLineStyle(i);
        openStyleList(false);
        styleButton.focus();
      });
      styleList.appendChild(item);
    });
  }

  function wireStyleList() {
    // Arrow keys change a closed list at once, as a drop-down list does.
    styleButton.addEventListener('keydown', (event) => {
      if (event.key === 'ArrowDown' && event.altKey) {
        event.preventDefault();
        openStyleList(true);
      } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        event.preventDefault();
        chooseLineStyle(lineStyle + (event.key === 'ArrowDown' ? 1 : -1));
      }
    });
    styleButton.addEventListener('click', () => openStyleList(styleList.hidden));
    let highlighted = 0;
    styleList.addEventListener('focus', () => { highlighted = lineStyle; });
    styleList.addEventListener('keydown', (event) => {
      if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        event.preventDefault();
        highlighted = Math.min(Math.max(highlighted + (event.key === 'ArrowDown' ? 1 : -1), 0),
          styleList.children.length - 1);
        styleList.setAttribute('aria-activedescendant', 'style-' + highlighted);
        styleList.querySelectorAll('li').forEach((item, i) => item.classList.toggle('active', i === highlighted));
      } else if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        chooseLineStyle(highlighted);
        openStyleList(false);
        styleButton.focus();
      } else if (event.key === 'Escape' || event.key === 'Tab') {
        openStyleList(false);
        if (event.key === 'Escape') styleButton.focus();
      }
    });
    styleList.addEventListener('blur', () => openStyleList(false));
  }

  // --- Tool panel ----------------------------------------------------------

  // Each load shows the tool panel; only showing or hiding a panel moves the view.
  // A panel shown takes its place at once, and its controls are shown in the
  // next frame's work: the view's size needs only the panel's box, and
  // restyling every control before the first picture took two milliseconds.
  // Either way they appear in the frame that shows the picture.
  function showPanel(panel, item, visible) {
    const changed = panel.hidden === visible;
    if (changed && visible) {
      panel.style.visibility = 'hidden';
      requestAnimationFrame(() => panel.style.removeProperty('visibility'));
    }
    panel.hidden = !visible;
    item.setAttribute('aria-checked', String(visible));
    item.querySelector('.check').textContent = visible ? '✓' : '';
    if (changed) schedulePaint();
  }

  const showTool = (visible) => showPanel(tool, $('cmd-tool'), visible);

  function showValues(visible) {
    showPanel(valuesPanel, $('cmd-values'), visible);
    fillValues();
  }

  function wirePanel() {
    for (const edit of edits) {
      edit.type = 'text';
      edit.autocomplete = 'off';
      edit.spellcheck = false;
      if (edit.parentElement.classList.contains('spin')) {
        edit.addEventListener('keydown', (event) => {
          if (isInteger(edit) && (event.key === 'ArrowUp' || event.key === 'ArrowDown')) {
            event.preventDefault();
            spinStep(edit, event.key === 'ArrowUp' ? 1 : -1);
          }
        });
        // A spin's arrows do not take the focus, so the field's slider rule
        // sees the focus where it was.
        for (const arrow of edit.parentElement.querySelectorAll('.arrows button')) {
          arrow.addEventListener('mousedown', (event) => event.preventDefault());
          arrow.addEventListener('click', () => spinStep(edit, Number(arrow.dataset.step)));
        }
      }
      edit.addEventListener('input', () => onEditInput(edit));
    }
    $('l1025').addEventListener('change', (event) => setValue(1025, event.target.selectedIndex));
    $('l1026').addEventListener('change', (event) => setValue(1026, event.target.selectedIndex));
    $('k1023').addEventListener('change', (event) => setValue(1023, event.target.checked ? 1 : 0));
    $('k1024').addEventListener('change', (event) => {
      setValue(1024, event.target.checked ? 1 : 0);
      showLocks();
    });
    // Reaching for a background picks the one it has, even when the chooser
    // is then cancelled.
    $('c1021').addEventListener('click', (event) => setColor(1021, event.target.value));
    $('c1021').addEventListener('input', (event) => setColor(1021, event.target.value));
    $('c1022').addEventListener('input', (event) => setColor(1022, event.target.value));
    wireStyleList();
  }

  function showChoiceLabels() {
    if (!table) return;
    for (const id of [1025, 1026]) {
      [...$('l' + id).options].forEach((option, i) => {
        option.textContent = choiceLabel(row(id), i);
      });
    }
  }

  // A box that locks a field makes it read-only while on, as in the window.
  function showLocks() {
    for (const setting of table.settings) {
      if (setting.locks) editById(setting.locks).disabled = $('k' + setting.id).checked;
    }
  }

  // The ranges, limits and lists of the panel, from the core's table.
  function offerWhatTheDialogOffers() {
    table = JSON.parse(taken(core._ZimbelSettings()));
    for (const edit of edits) {
      const setting = row(Number(edit.dataset.id));
      if (setting.kind === 'integer') {
        edit.dataset.min = String(setting.lower);
        edit.dataset.max = String(setting.upper);
        edit.maxLength = table.fieldDigits;
        edit.inputMode = 'numeric';
      } else {
        edit.maxLength = table.textLength;
      }
      const slider = sliderOf(setting.id);
      if (!slider) continue;
      slider.min = String(table.sliderMin);
      slider.max = String(table.sliderMax);
      slider.addEventListener('input', () => onSliderMoved(setting.id, Number(slider.value)));
      slider.addEventListener('keydown', (event) => onSliderKey(setting.id, event));
    }
    for (const id of [1025, 1026]) {
      for (const name of row(id).choices) $('l' + id).appendChild(document.createElement('option')).value = name;
    }
    showChoiceLabels();
    buildStyleList();
  }

  function showCoreSettings() {
    readAllFields();
    lineStyle = core._ZimbelValue(1020);
    $('l1025').selectedIndex = core._ZimbelValue(1025);
    $('l1026').selectedIndex = core._ZimbelValue(1026);
    $('k1023').checked = core._ZimbelValue(1023) !== 0;
    $('k1024').checked = core._ZimbelValue(1024) !== 0;
    showLocks();
    $('c1021').value = colorText(1021);
    $('c1022').value = colorText(1022);
    showSliders();
    showLineStyle();
  }

  // --- Readers: the readout, the table of values, the text alternative ------

  const readout = $('readout');
  const valuesPanel = $('values');
  // The point the readout shows, -1 for none.
  let pointed = -1;

  function describeGraph() {
    const count = core ? core._ZimbelValueCount() : 0;
    canvas.setAttribute('aria-label', count === 0 ? text('noValues') : text('graphText').replace('%c', count)
      .replace('%l', taken(core._ZimbelLowestText())).replace('%h', taken(core._ZimbelHighestText())));
  }

  // Only an open table is filled: a load does not wait on 512 rows nobody sees.
  function fillValues() {
    if (!core || valuesPanel.hidden) return;
    const rows = document.createDocumentFragment();
    for (let i = 0, count = core._ZimbelValueCount(); i < count; i++) {
      const row = rows.appendChild(document.createElement('tr'));
      const number = row.appendChild(document.createElement('th'));
      number.scope = 'row';
      number.textContent = String(i + 1);
      row.appendChild(document.createElement('td')).textContent = valueText(i);
    }
    $('value-rows').replaceChildren(rows);
  }

  // Beside the point's marker, on the side of the view with more room; the
  // picture is not touched.
  function showReadout() {
    if (!core || pointed < 0 || pointed >= core._ZimbelValueCount()) {
      pointed = -1;
      readout.hidden = true;
      return;
    }
    readout.textContent = text('readout').replace('%n', pointed + 1).replace('%v', valueText(pointed));
    const x = core._ZimbelPointX(pointed) - view.scrollLeft;
    const y = Math.min(Math.max(core._ZimbelPointY(pointed) - view.scrollTop, 0), view.clientHeight);
    const right = x > view.clientWidth / 2;
    readout.style.left = right ? '' : Math.max(x, 0) + 8 + 'px';
    readout.style.right = right ? Math.max(view.clientWidth - x, 0) + 8 + 'px' : '';
    readout.style.top = y > 32 ? y - 32 + 'px' : y + 8 + 'px';
    readout.hidden = false;
  }

  function point(index) {
    pointed = index;
    showReadout();
  }

  // Nearest by column, within the picture.
  function pointAt(event) {
    if (!core) return;
    const box = view.getBoundingClientRect();
    const x = event.clientX - box.left - view.clientLeft + view.scrollLeft;
    const y = event.clientY - box.top - view.clientTop + view.scrollTop;
    const inside = x < core._ZimbelImageWidth() && y < core._ZimbelImageHeight();
    point(inside ? core._ZimbelNearestPoint(x) : -1);
  }

  // Left and right step from point to point, the view following; the first
  // step starts at the edge of what is in view.
  function onGraphKey(event) {
    if (!core || (event.key !== 'ArrowLeft' && event.key !== 'ArrowRight')) return;
    const last = core._ZimbelNearestPoint(Infinity);
    if (last < 0) return;
    event.preventDefault();
    const step = event.key === 'ArrowRight' ? 1 : -1;
    const next = pointed >= 0 ? pointed + step
      : core._ZimbelNearestPoint(view.scrollLeft + (step > 0 ? 0 : view.clientWidth - 1));
    point(Math.min(Math.max(next, 0), last));
    const x = core._ZimbelPointX(pointed);
    if (x < view.scrollLeft || x >= view.scrollLeft + view.clientWidth) view.scrollLeft = x - view.clientWidth / 2;
  }

  // New values: the readout's point is gone; the text and the table follow.
  function showNewValues() {
    point(-1);
    describeGraph();
    fillValues();
  }

  function wireReaders() {
    view.addEventListener('pointermove', pointAt);
    view.addEventListener('pointerdown', pointAt);
    view.addEventListener('pointerleave', () => document.activeElement === view || point(-1));
    view.addEventListener('keydown', onGraphKey);
    view.addEventListener('blur', () => point(-1));
    $('values-close').addEventListener('click', () => showValues(false));
  }

  // --- Loading -------------------------------------------------------------

  // The core's reader takes the file slice by slice and says when it has
  // all it reads, so a huge file is read only that far. A slice that cannot
  // be read throws before the load is ended: the graph stays as it was.
  // Pasted text comes as bytes: a Blob's slices would each wait on the
  // browser's storage of it, a millisecond or two before the first picture.
  async function feedData(data) {
    const pointer = core._malloc(kChunkBytes);
    const bytes = data instanceof Uint8Array;
    try {
      core._ZimbelLoadBegin();
      let more = true;
      for (let offset = 0; more && offset < (bytes ? data.length : data.size); offset += kChunkBytes) {
        const slice = bytes ? data.subarray(offset, offset + kChunkBytes)
          : new Uint8Array(await data.slice(offset, offset + kChunkBytes).arrayBuffer());
        core.HEAPU8.set(slice, pointer);
        more = core._ZimbelLoadMore(pointer, slice.length) === 1;
      }
      core._ZimbelLoadEnd();
    } finally {
      core._free(pointer);
    }
  }

  // Loads run one after another, so a slow huge file cannot land after a
  // file chosen later; a load that fails outright must not stop the ones
  // after it.
  function loadData(data, name) {
    loading = loading.then(async () => {
      if (!core) {
        say(text('notReady'));
        return;
      }
      try {
        await feedData(data);
      } catch (error) {
        say(text('unreadable').replace('%s', name));
        return;
      }
      say('');
      fileName = name.replace(/\.[^.]*$/, '') || 'zimbelplot';
      $('hint').hidden = true;
      paintNow();
      showNewValues();
    }).catch((error) => say(text('unreadable').replace('%s', name) + ' ' + error));
    return loading;
  }

  // --- Downloads -------------------------------------------------------------

  function offerDownload(blob, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  }

  function downloadPng() {
    if (!core) return say(text('notReady'));
    const width = core._ZimbelImageWidth();
    const height = core._ZimbelImageHeight();
    if (width < 1 || height < 1) return say(text('noPicture'));
    const image = document.createElement('canvas');
    image.width = width;
    image.height = height;
    const imageContext = image.getContext('2d');
    if (!imageContext) return say(text('tooLarge'));
    core.zimbelContext = imageContext;
    core._ZimbelPaintImage();
    image.toBlob((blob) => {
      if (!blob) return say(text('tooLarge'));
      say('');
      offerDownload(blob, fileName + '.png');
    }, 'image/png');
  }

  // The SVG leaves the core as bytes, so the download is exactly what the
  // exporter writes.
  function downloadSvg() {
    if (!core) return say(text('notReady'));
    const pointer = core._ZimbelSvg();
    const bytes = core.HEAPU8.slice(pointer, core.HEAPU8.indexOf(0, pointer));
    core._free(pointer);
    if (bytes.length < 1) return say(text('noPicture'));
    say('');
    offerDownload(new Blob([bytes], {type: 'image/svg+xml'}), fileName + '.svg');
  }

  // --- Links ---------------------------------------------------------------

  // The graph travels in the fragment, which the browser never sends to a
  // server. Where the clipboard is refused, the address bar holds the link.
  function copyLink() {
    if (!core) return say(text('notReady'));
    const link = location.href.split('#')[0] + '#' + taken(core._ZimbelLink());
    navigator.clipboard.writeText(link).then(() => say(text('linkCopied')), () => {
      history.replaceState(null, '', link);
      say(text('linkInAddress'));
    });
  }

  // Where zimbelplot-serve hosts the page, the same link also names the
  // graph's picture: any web page, README or mail can show it.
  function copyImageLink(extension) {
    if (!core) return say(text('notReady'));
    if (core._ZimbelImageWidth() < 1 || core._ZimbelImageHeight() < 1) return say(text('noPicture'));
    const address = new URL(taken(core._ZimbelLink()) + extension, location.href).href;
    navigator.clipboard.writeText(address).then(() => say(text('imageLinkCopied')),
      () => say(text('imageLinkIs').replace('%s', address)));
  }

  // Only zimbelplot-serve draws pictures from links, and it names itself in
  // every answer; a static host, or the one-file page from disk, gets no
  // image links to offer.
  function offerImageLinks() {
    // Offline no picture can come from anywhere, and the question itself
    // would fail loudly.
    if ((location.protocol !== 'http:' && location.protocol !== 'https:') || !navigator.onLine) return;
    fetch(location.href.split('#')[0], {method: 'HEAD', cache: 'no-store'}).then((response) => {
      if (!(response.headers.get('Server') || '').startsWith('zimbelplot-serve/')) return;
      $('cmd-png-link').hidden = false;
      $('cmd-svg-link').hidden = false;
    }, () => {});
  }

  function openLink() {
    const fragment = location.hash.slice(1);
    if (!core || !fragment) return;
    if (!withCString(fragment, (pointer) => core._ZimbelOpenLink(pointer))) return say(text('badLink'));
    say('');
    showCoreSettings();
    $('hint').hidden = true;
    showNewValues();
    showTool(true);
    view.scrollTo(0, 0);
    geometry = null;
    paintNow();
  }

  // --- Menu, drop, paste -----------------------------------------------------

  function closeMenus() {
    for (const menu of document.querySelectorAll('details.menu')) menu.open = false;
  }

  function wireMenu() {
    const commands = {
      'cmd-open': () => fileInput.click(),
      'cmd-png': downloadPng,
      'cmd-svg': downloadSvg,
      'cmd-link': copyLink,
      'cmd-png-link': () => copyImageLink('.png'),
      'cmd-svg-link': () => copyImageLink('.svg'),
      'cmd-tool': () => showTool(tool.hidden),
      'cmd-values': () => showValues(valuesPanel.hidden),
      'cmd-about': () => {
        $('about-text').textContent = core ? taken(core._ZimbelAboutText()) : 'zimbelplot';
        $('about').showModal();
      },
    };
    for (const [id, run] of Object.entries(commands)) {
      $(id).addEventListener('click', () => {
        closeMenus();
        run();
      });
    }
    // One menu open at a time; Escape or a click elsewhere closes it.
    for (const menu of document.querySelectorAll('details.menu')) {
      menu.addEventListener('toggle', () => {
        if (!menu.open) return;
        for (const other of document.querySelectorAll('details.menu')) if (other !== menu) other.open = false;
      });
      menu.addEventListener('keydown', (event) => {
        if (event.key === 'Escape' && menu.open) {
          menu.open = false;
          menu.querySelector('summary').focus();
        }
      });
    }
    document.addEventListener('click', (event) => {
      if (!event.target.closest('details.menu')) closeMenus();
    });
    $('tool-close').addEventListener('click', () => showTool(false));
    $('cmd-language').addEventListener('click', () => {
      language = 1 - language;
      applyLanguage();
    });
    fileInput.addEventListener('change', () => {
      const file = fileInput.files[0];
      if (file) loadData(file, file.name);
      fileInput.value = '';
    });
  }

  function wireDropAndPaste() {
    document.addEventListener('dragover', (event) => {
      event.preventDefault();
      event.dataTransfer.dropEffect = 'copy';
    });
    document.addEventListener('drop', (event) => {
      event.preventDefault();
      const file = event.dataTransfer.files[0];
      if (file) loadData(file, file.name);
    });
    // Pasted numbers load as a file holding that text would; a paste into a
    // field stays the field's.
    document.addEventListener('paste', (event) => {
      const target = event.target;
      if (target instanceof HTMLInputElement && target.type === 'text') return;
      const data = event.clipboardData;
      if (!data) return;
      event.preventDefault();
      const pasted = data.getData('text/plain');
      if (data.files.length > 0) {
        loadData(data.files[0], data.files[0].name);
      } else if (pasted) {
        loadData(new TextEncoder().encode(pasted), 'zimbelplot');
      }
    });
  }

  // --- Start -----------------------------------------------------------------

  function start(module) {
    core = module;
    describeGraph();
    offerWhatTheDialogOffers();
    showCoreSettings();
    view.addEventListener('scroll', schedulePaint, {passive: true});
    new ResizeObserver(schedulePaint).observe(view);
    // A canvas whose graphics processor reset comes back blank.
    canvas.addEventListener('contextrestored', schedulePaint);
    followPixelRatio();
    window.addEventListener('hashchange', openLink);
    openLink();
    document.body.dataset.ready = 'true';
    paintNow();
    lastActive = performance.now();
    keepWhenQuiet();
  }

  wireMenu();
  wirePanel();
  wireReaders();
  wireDropAndPaste();
  applyLanguage();
  showTool(false);
  offerImageLinks();

  // The hosted page keeps itself for use offline; the one-file page, which
  // has no manifest, has nothing to keep. Each visit asks for a new build,
  // so the kept set is never a visit behind. The page works without it.
  // Keeping starts a worker that fetches every file again, and it shares the
  // processor with whatever the visitor does meanwhile: begun as the page
  // became ready, it made a file pasted at once take one and a half to two
  // times as long to draw; begun when idle after the first picture, it
  // doubled the time of the first changes made to it. It begins once the
  // visitor has left the page alone for two seconds.
  // An event only notes its time; the wait, when it ends, looks again, and
  // keeps once.
  let lastActive = 0;

  function keepWhenQuiet() {
    const wait = lastActive + kQuietMs - performance.now();
    if (wait > 0) setTimeout(keepWhenQuiet, wait);
    else keepForOffline();
  }

  for (const type of ['input', 'keydown', 'pointerdown', 'pointermove', 'wheel', 'scroll', 'paste', 'drop']) {
    document.addEventListener(type, () => lastActive = performance.now(), {capture: true, passive: true});
  }

  function keepForOffline() {
    if (!document.querySelector('link[rel="manifest"]') || !('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('sw.js').then((registration) => registration.update()).catch(() => {});
  }

  window.addEventListener('load', () => {
    if (typeof createZimbelplot !== 'function') return say('zimbelplot.js is missing.');
    createZimbelplot({
      // As the window's load moves the width's spin and slider.
      onFieldWritten(id, value) {
        const edit = editById(id);
        if (edit) edit.value = value;
        if (table && sliderOf(id)) setSlider(id, parseInt(value, 10) || 0);
      },
      onShowTool() {
        showTool(true);
      },
    }).then(start, (error) => say(String(error)));
  });
})();
