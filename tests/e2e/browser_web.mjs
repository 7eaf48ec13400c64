// Drives the web build's page in headless Chromium through the DevTools
// protocol, over the pipe Chromium offers for it (no packages, and no
// WebSocket, which node 18 lacks), and reports what a person would see.
//
//   browser_web.mjs check URL OUT_DIR   the page's checks: captures of the canvas
//       (OUT_DIR/running-1.png after 180 frames, three seconds at 60 Hz, and
//       running-2.png a second later, with page.png of the whole page; stopped-1.png and
//       stopped-2.png a second apart after a real Escape key event), the rate of presented frames beside the rate of the
//       browser's animation frames, presentations after the stop, the status
//       line, and every error the page's console or its scripts reported.
//       Full screen, entered with the F key in a 1800x1400 viewport: the
//       canvas's size on the page and its capture (fullscreen.png), and
//       whether the first Escape leaves full screen with the program running
//       on. After the stop, the canvas captured at two device pixels per CSS
//       pixel (stopped-dpr2.png).
//   browser_web.mjs rate URL SECONDS     the rate of presented frames only, over
//       SECONDS (run Chromium unpaced with WIRLO_CHROMIUM_FLAGS, say).
//
// Prints lines "name=value" for the calling script, then one "problem=..."
// line per console error or uncaught exception. Exit code 1 when the page could
// not be driven at all.
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

const [mode, url, arg] = process.argv.slice(2);
if (!['check', 'rate'].includes(mode) || !url || !arg) {
    console.error('usage: browser_web.mjs check URL OUT_DIR | rate URL SECONDS');
    process.exit(2);
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// Chromium with a fresh profile, as root (no sandbox) and without any of its
// own network traffic. It reads DevTools commands from its descriptor 3 and
// writes replies and events to its descriptor 4, each message ended by a zero.
function startBrowser(profile) {
    const flags = [
        '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--disable-default-apps', '--mute-audio', `--user-data-dir=${profile}`,
        '--remote-debugging-pipe', '--window-size=1000,800',
        ...(process.env.WIRLO_CHROMIUM_FLAGS || '').split(/\s+/).filter(Boolean), 'about:blank',
    ];
    // A process group of its own, so that its helper processes can be ended
    // and waited for with it.
    return spawn(process.env.CHROMIUM || 'chromium', flags,
                 {stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'], detached: true});
}

// One DevTools connection: commands by id, events by name (in the attached
// page's session). A browser that ends fails every command still waiting.
class DevTools {
    constructor(browser) {
        this.commands = browser.stdio[3];
        this.nextId = 1;
        this.pending = new Map();
        this.listeners = new Map();
        let errors = '';
        browser.stderr.on('data', chunk => { errors = (errors + chunk).slice(-500); });
        browser.on('exit', code => {
            for (const {reject, method} of this.pending.values())
                reject(new Error(`${method}: chromium ended (${code}): ${errors}`));
            this.pending.clear();
        });
        let received = '';
        browser.stdio[4].setEncoding('utf8');
        browser.stdio[4].on('data', chunk => {
            received += chunk;
            for (let end; (end = received.indexOf('\0')) >= 0; received = received.slice(end + 1))
                this.receive(JSON.parse(received.slice(0, end)));
        });
    }
    receive(m) {
        if (m.id && this.pending.has(m.id)) {
            const {resolve, reject, method} = this.pending.get(m.id);
            this.pending.delete(m.id);
            if (m.error) reject(new Error(`${method}: ${m.error.message}`));
            else resolve(m.result);
        } else if (m.method) {
            for (const f of this.listeners.get(m.method) || []) f(m.params);
        }
    }
    send(method, params = {}, sessionId = this.sessionId) {
        const id = this.nextId++;
        this.commands.write(JSON.stringify({id, method, params, ...(sessionId ? {sessionId} : {})}) + '\0');
        return new Promise((resolve, reject) => this.pending.set(id, {resolve, reject, method}));
    }
    on(method, f) {
        if (!this.listeners.has(method)) this.listeners.set(method, []);
        this.listeners.get(method).push(f);
    }
    async evaluate(expression) {
        const r = await this.send('Runtime.evaluate', {expression, returnByValue: true});
        if (r.exceptionDetails) throw new Error(`${expression}: ${r.exceptionDetails.text}`);
        return r.result.value;
    }
}

// Counts, from before the page's own scripts run, the browser's animation
// frames and the pictures put onto canvases (one per presented frame).
const counters = `
    window.wirloCounts = {animationFrames: 0, presented: 0};
    (function tick() { window.wirloCounts.animationFrames++; requestAnimationFrame(tick); })();
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function () {
        window.wirloCounts.presented++;
        return put.apply(this, arguments);
    };`;

async function waitFor(page, expression, seconds, what) {
    for (let i = 0; i < seconds * 10; ++i) {
        if (await page.evaluate(expression)) return;
        await sleep(100);
    }
    throw new Error(`${what} (not within ${seconds} s; status: ${await page.evaluate(statusText)})`);
}

const statusText = "document.getElementById('status').textContent";

async function press(page, key, code, keyCode) {
    for (const type of ['rawKeyDown', 'keyUp'])
        await page.send('Input.dispatchKeyEvent', {type, key, code, windowsVirtualKeyCode: keyCode,
                                                  nativeVirtualKeyCode: keyCode});
}

function viewport(page, width, height, deviceScaleFactor) {
    return page.send('Emulation.setDeviceMetricsOverride', {width, height, deviceScaleFactor, mobile: false});
}

const canvasSizes = `(() => {
    const c = document.querySelector('#screen canvas'), b = c.getBoundingClientRect();
    return c.width + 'x' + c.height + ' ' + b.width + 'x' + b.height + ' ' + innerWidth + 'x' + innerHeight;
})()`;

// F enters full screen; reports the canvas's own size, its size on the page
// and the viewport's, captures it, then presses Escape once: that must leave
// full screen and leave the program running.
async function fullScreen(page) {
    if (!await page.evaluate("document.fullscreenEnabled && !document.getElementById('full-screen').hidden")) {
        console.log('fullscreen=not offered');
        return;
    }
    await viewport(page, 1800, 1400, 1);
    await press(page, 'f', 'KeyF', 70);
    await waitFor(page, "document.fullscreenElement === document.getElementById('screen')", 10,
                  'F does not put the screen in full screen');
    await sleep(300);  // the canvas's new size
    const [own, shown, view] = (await page.evaluate(canvasSizes)).split(' ');
    console.log(`fullscreen=yes\nfullscreen_canvas=${own}\nfullscreen_shown=${shown}\nfullscreen_viewport=${view}`);
    await capture(page, join(arg, 'fullscreen.png'));
    const before = await page.evaluate('window.wirloCounts.presented');
    await press(page, 'Escape', 'Escape', 27);
    await waitFor(page, 'document.fullscreenElement === null', 10, 'the first Escape does not leave full screen');
    await waitFor(page, `window.wirloCounts.presented >= ${before + 5}`, 30,
                  'the program does not run on after the Escape that left full screen');
    console.log(`after_fullscreen_status=${await page.evaluate(statusText)}`);
    await page.send('Emulation.clearDeviceMetricsOverride');
}

async function capture(page, file) {
    const r = await page.evaluate(`(() => {
        const c = document.querySelector('#screen canvas');
        if (!c) return null;
        const b = c.getBoundingClientRect();
        return {x: b.x, y: b.y, width: b.width, height: b.height};
    })()`);
    if (!r) throw new Error('the page has no canvas');
    const shot = await page.send('Page.captureScreenshot', {format: 'png', clip: {...r, scale: 1}});
    writeFileSync(file, Buffer.from(shot.data, 'base64'));
}

// Presented and animation frames per second over the given time.
async function rates(page, seconds) {
    const a = await page.evaluate('({...window.wirloCounts, t: performance.now()})');
    await sleep(seconds * 1000);
    const b = await page.evaluate('({...window.wirloCounts, t: performance.now()})');
    const s = (b.t - a.t) / 1000;
    return {presented: (b.presented - a.presented) / s, animation: (b.animationFrames - a.animationFrames) / s};
}

async function drive(page, problems) {
    page.on('Runtime.exceptionThrown', p =>
        problems.push('uncaught: ' + (p.exceptionDetails.exception?.description || p.exceptionDetails.text)));
    page.on('Runtime.consoleAPICalled', p => {
        if (p.type === 'error' || p.type === 'assert')
            problems.push(`console.${p.type}: ` + p.args.map(a => a.value ?? a.description).join(' '));
    });
    page.on('Log.entryAdded', p => {
        if (p.entry.level === 'error') problems.push(`log: ${p.entry.text} ${p.entry.url || ''}`.trim());
    });
    await page.send('Runtime.enable');
    await page.send('Log.enable');
    await page.send('Page.enable');
    await page.send('Page.addScriptToEvaluateOnNewDocument', {source: counters});
    await page.send('Page.navigate', {url});
    await waitFor(page, 'window.wirloCounts && window.wirloCounts.presented > 1', 30, 'no frame was presented');
    console.log(`title=${await page.evaluate('document.title')}`);

    if (mode === 'rate') {
        await sleep(1000);
        const r = await rates(page, Number(arg));
        console.log(`presented_per_second=${r.presented.toFixed(1)}`);
        console.log(`animation_frames_per_second=${r.animation.toFixed(1)}`);
        return;
    }
    // A few seconds' worth of frames at 60 Hz, however slowly a busy machine
    // presents them, then a second and a few frames more.
    await waitFor(page, 'window.wirloCounts.presented >= 180', 90, 'fewer than 180 frames in 90 s');
    await capture(page, join(arg, 'running-1.png'));
    const first = await page.evaluate('window.wirloCounts.presented');
    await sleep(1000);
    await waitFor(page, `window.wirloCounts.presented >= ${first + 5}`, 30, 'fewer than 5 frames in 30 s');
    await capture(page, join(arg, 'running-2.png'));
    const whole = await page.send('Page.captureScreenshot', {format: 'png'});
    writeFileSync(join(arg, 'page.png'), Buffer.from(whole.data, 'base64'));
    const r = await rates(page, 2);
    console.log(`presented_per_second=${r.presented.toFixed(1)}`);
    console.log(`animation_frames_per_second=${r.animation.toFixed(1)}`);
    console.log(`running_status=${await page.evaluate(statusText)}`);
    await fullScreen(page);

    await press(page, 'Escape', 'Escape', 27);
    await waitFor(page, `/stopped/i.test(${statusText})`, 10, 'the page does not say the effect stopped');
    const before = await page.evaluate('window.wirloCounts.presented');
    await capture(page, join(arg, 'stopped-1.png'));
    await sleep(1000);
    await capture(page, join(arg, 'stopped-2.png'));
    console.log(`presented_after_stop=${(await page.evaluate('window.wirloCounts.presented')) - before}`);
    console.log(`stopped_status=${await page.evaluate(statusText)}`);
    // The last picture on a screen of two device pixels per CSS pixel.
    await viewport(page, 1000, 800, 2);
    await sleep(300);
    await capture(page, join(arg, 'stopped-dpr2.png'));
}

const profile = mkdtempSync(join(tmpdir(), 'wirlo-chromium-'));
const browser = startBrowser(profile);
let code = 0;
try {
    const devtools = new DevTools(browser);
    const {targetId} = await devtools.send('Target.createTarget', {url: 'about:blank'});
    const {sessionId} = await devtools.send('Target.attachToTarget', {targetId, flatten: true});
    devtools.sessionId = sessionId;
    const problems = [];
    await drive(devtools, problems);
    await sleep(200);  // late console messages
    for (const p of problems) console.log(`problem=${p.replace(/\s+/g, ' ')}`);
    await devtools.send('Browser.close', {}, null).catch(() => {});
} catch (e) {
    console.error(`browser_web: ${e.message}`);
    code = 1;
} finally {
    // Chromium's helper processes (its network service among them) write into
    // the profile as they end, after the browser itself: end the whole group
    // and wait for the last of them before the profile goes.
    const groupAlive = () => {
        try {
            process.kill(-browser.pid, 0);
            return true;
        } catch {
            return false;
        }
    };
    if (groupAlive()) process.kill(-browser.pid, 'SIGTERM');
    for (let i = 0; i < 100 && groupAlive(); ++i) await sleep(100);
    if (groupAlive()) process.kill(-browser.pid, 'SIGKILL');
    try {
        rmSync(profile, {recursive: true, force: true, maxRetries: 10, retryDelay: 100});
    } catch (e) {
        console.error(`browser_web: the profile ${profile} was left behind: ${e.message}`);
    }
}
process.exit(code);
