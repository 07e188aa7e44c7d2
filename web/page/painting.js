// The graph area: the core paints the part of the picture in view.
import {binding} from './core.js';
import {$} from './texts.js';
import {showReadout} from './readers.js';

// The canvas covers the part of the view the picture fills, so a huge
// picture costs no more to redraw than a small one; it has a device pixel
// for each of the screen's: sharp at any ratio. A new size of canvas is a
// new store of pixels, slower to draw on first than the whole picture is:
// a canvas is kept through a change of the picture that it still holds
// (a height typed or dragged lower), its pixels beyond the picture
// left clear so that the page's own colour shows around a small one, and
// made anew only when it is too small, beyond the view or more than twice
// what the picture needs of it. A setting paints at once, so the
// change is on screen at the next frame; scrolling paints once a frame,
// from the view's scroll event, which the browser fires once a frame just
// before drawing it (a frame callback asked for there would wait behind the
// frame's other events). Sizes are set only when they change: each one set
// is a layout. The view's size and scroll position (`geometry`) are read
// again only when they may have moved (a new image size, or a resize or
// panel that asked for a paint; a scroll moves only the position): read
// after a setting has changed a field, they would force a layout before
// the picture could be drawn.
const view = $('view');
const canvas = $('canvas');
const context = canvas.getContext('2d');
const spacer = $('spacer');
const graphArea = $('graph-area');
const shown = {width: -1, height: -1, canvasWidth: -1, canvasHeight: -1, ratio: 0, pictureHeight: -1,
  geometry: null, queued: false, paints: 0};

// Whether the canvas as it is can show the `need` of the picture in this view.
function canvasServes(needWidth, needHeight, viewWidth, viewHeight, ratio) {
  const {canvasWidth, canvasHeight} = shown;
  return ratio === shown.ratio && canvasWidth >= needWidth && canvasHeight >= needHeight &&
    canvasWidth <= viewWidth && canvasHeight <= viewHeight && canvasWidth * canvasHeight <= 2 * needWidth * needHeight;
}

export function paintNow() {
  shown.queued = false;
  const {core} = binding;
  if (!core) return;
  const width = Math.max(core._ZimbelImageWidth(), 0);
  const height = Math.max(core._ZimbelImageHeight(), 0);
  if (width !== shown.width || height !== shown.height) {
    spacer.style.width = width + 'px';
    spacer.style.height = height + 'px';
    Object.assign(shown, {width, height, geometry: null});
  }
  shown.geometry = shown.geometry || {viewWidth: view.clientWidth, viewHeight: view.clientHeight,
    frameHeight: view.offsetHeight - view.clientHeight, scrollX: view.scrollLeft, scrollY: view.scrollTop};
  const {viewWidth, viewHeight, frameHeight, scrollX, scrollY} = shown.geometry;
  const ratio = window.devicePixelRatio || 1;
  const needWidth = Math.min(viewWidth, width);
  const needHeight = Math.min(viewHeight, height);
  if (!canvasServes(needWidth, needHeight, viewWidth, viewHeight, ratio)) {
    canvas.width = Math.round(needWidth * ratio);
    canvas.height = Math.round(needHeight * ratio);
    canvas.style.width = needWidth + 'px';
    canvas.style.height = needHeight + 'px';
    Object.assign(shown, {canvasWidth: needWidth, canvasHeight: needHeight, ratio});
  }
  const pictureHeight = height + frameHeight;
  if (pictureHeight !== shown.pictureHeight) {
    graphArea.style.setProperty('--picture-height', pictureHeight + 'px');
    shown.pictureHeight = pictureHeight;
  }
  core.zimbelContext = context;
  core._ZimbelPaint(scrollX, scrollY, viewWidth, viewHeight, ratio);
  canvas.dataset.paints = String(++shown.paints);
  showReadout();
}

// The view may have moved: its geometry is read again at the next frame.
export function schedulePaint() {
  shown.geometry = null;
  if (shown.queued) return;
  shown.queued = true;
  requestAnimationFrame(() => shown.queued && paintNow());
}

function paintScrolled() {
  if (shown.geometry) Object.assign(shown.geometry, {scrollX: view.scrollLeft, scrollY: view.scrollTop});
  paintNow();
}

// After the page itself has scrolled the view.
export function paintMoved() {
  shown.geometry = null;
  paintNow();
}

// Moving the window to another screen or zooming changes the ratio; each
// query matches one ratio, so a change sets up the next one.
function followPixelRatio() {
  matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`).addEventListener('change', () => {
    followPixelRatio();
    schedulePaint();
  }, {once: true});
}

export function followView() {
  view.addEventListener('scroll', paintScrolled, {passive: true});
  new ResizeObserver(schedulePaint).observe(view);
  // A canvas whose graphics processor reset comes back blank.
  canvas.addEventListener('contextrestored', schedulePaint);
  followPixelRatio();
}
