// Markers, groups, pop-ups and ticks of the map page.
import { after, test } from 'node:test';
import assert from 'node:assert/strict';
import { INITIAL_CENTER, closeBrowser, openPage, toPosition } from './page_harness.mjs';

after(closeBrowser);

const [LAT, LON] = toPosition(INITIAL_CENTER);  // at the middle of the view
const ELSEWHERE = toPosition([INITIAL_CENTER[0] + 150 * 1954.6, INITIAL_CENTER[1] + 100 * 1954.6]);

// Opens the page with the group ABCD_1, ABCD-2, ABCD added as the host adds
// a mixed group (other mountpoints, type 2, before stations, type 0).
async function pageWithGroup() {
  const p = await openPage();
  await p.call('AddMark', LAT, LON, 'ABCD_1', '', 2);
  await p.call('AddMark', ELSEWHERE[0], ELSEWHERE[1], 'ABCD-2', '', 2);
  await p.call('AddMark', LAT, LON, 'ABCD', '', 0);
  p.marker = (typ) => p.markEventually(p.width / 2, p.height / 2, typ);
  p.openPopup = async () => {
    await p.marker(2);
    await p.page.mouse.click(p.width / 2, p.height / 2 - 12);
    await p.page.waitForSelector('.mark-line');
  };
  p.lines = () => p.page.$$eval('.mark-line', (lines) =>
    lines.map((l) => [l.id, l.textContent, Number(l.getAttribute('typ'))]));
  return p;
}

test('names with "_" or "-" form one group with one marker whose pop-up lists them all', async () => {
  const p = await pageWithGroup();
  try {
    assert.equal(await p.marker(2), 2, 'the first member\'s image');
    const [x, y] = [p.width / 2 + 150, p.height / 2 - 100];
    assert.equal(await p.markAt(x, y), -1, 'no marker of its own for ABCD-2');
    await p.openPopup();
    assert.deepEqual(await p.lines(), [
      ['ABCD_1_select', 'ABCD_1', 2], ['ABCD-2_select', 'ABCD-2', 2], ['ABCD_select', 'ABCD', 0]]);
    assert.deepEqual(p.dialogs, []);
  } finally {
    await p.close();
  }
});

test('a mountpoint at latitude or longitude 0 gets no marker and starts no group', async () => {
  const p = await openPage();
  try {
    await p.call('AddMark', 0, LON, 'ZERO_1', '', 2);
    await p.call('AddMark', LAT, 0, 'ZERO_2', '', 2);
    await p.call('AddMark', LAT, LON, 'ZERO_3', '', 0);
    assert.equal(await p.markEventually(p.width / 2, p.height / 2, 0), 0);
    await p.page.mouse.click(p.width / 2, p.height / 2 - 12);
    await p.page.waitForSelector('.mark-line');
    assert.deepEqual(await p.page.$$eval('.mark-line', (l) => l.map((e) => e.id)), ['ZERO_3_select']);
  } finally {
    await p.close();
  }
});

// UpdateMark sequences and the image the group marker shows after each.
const tickCases = [
  { updates: [['ABCD-2', 1]], shown: 3 },
  { updates: [['ABCD', 1]], shown: 1 },
  { updates: [['ABCD', 1], ['ABCD_1', 1]], shown: 3 },       // the first ticked member
  { updates: [['ABCD-2', 1], ['ABCD-2', 0]], shown: 0 },     // none ticked: the last member
  { updates: [['UNKNOWN', 1], ['ABCD_', 1]], shown: 2 },      // not members: nothing changes
];
test('the group marker shows the first ticked member, or the last member', async () => {
  const p = await pageWithGroup();
  try {
    for (const { updates, shown } of tickCases) {
      await p.call('ClearMarks');
      await p.call('AddMark', LAT, LON, 'ABCD_1', '', 2);
      await p.call('AddMark', ELSEWHERE[0], ELSEWHERE[1], 'ABCD-2', '', 2);
      await p.call('AddMark', LAT, LON, 'ABCD', '', 0);
      for (const [name, checked] of updates) await p.call('UpdateMark', name, checked);
      assert.equal(await p.marker(shown), shown, JSON.stringify(updates));
    }
  } finally {
    await p.close();
  }
});

test('a click on a pop-up line ticks it and tells the host, unless clicks are refused', async () => {
  const p = await pageWithGroup();
  try {
    await p.openPopup();
    const hostMarks = async () => (await p.hostCalls()).filter((c) => c[0] === 'UpdateMark');

    await p.page.click('[id="ABCD-2_select"]');
    assert.deepEqual(await hostMarks(), [['UpdateMark', 'ABCD-2', 3]]);
    assert.deepEqual((await p.lines())[1], ['ABCD-2_select', 'ABCD-2', 3]);

    await p.call('EnableMark', 0);
    await p.page.click('[id="ABCD_select"]');
    assert.equal((await hostMarks()).length, 1);
    assert.deepEqual((await p.lines())[2], ['ABCD_select', 'ABCD', 0]);

    await p.call('EnableMark', 1);
    await p.page.click('[id="ABCD-2_select"]');
    assert.deepEqual((await hostMarks())[1], ['UpdateMark', 'ABCD-2', 2]);
    await p.page.click('[id="ABCD_select"]');
    assert.deepEqual((await hostMarks())[2], ['UpdateMark', 'ABCD', 1]);
    assert.equal(await p.marker(1), 1);
    // The line's image follows its type.
    assert.equal(await p.page.$eval('[id="ABCD_select"] img', (i) => i.getAttribute('src')), './mark1.png');
  } finally {
    await p.close();
  }
});

test('MoveMap moves the view, which the page reports with the same values', async () => {
  const p = await openPage();
  try {
    await p.call('MoveMap', 5, 1950000, 955000);
    const moved = ['UpdateMap', 5, 1950000, 955000];
    const last = await p.eventually(p.hostCalls, (calls) => JSON.stringify(calls.at(-1)) === JSON.stringify(moved));
    assert.deepEqual(last.at(-1), moved);
    // A click on the map reports the view too.
    await p.settle();
    const before = (await p.hostCalls()).length;
    await p.page.mouse.click(100, 100);
    const after = await p.eventually(p.hostCalls, (calls) => calls.length > before);
    assert.deepEqual(after.slice(before), [moved]);
    // A bad position changes nothing and shows nothing.
    await p.call('MoveMap', 'x', 1, 2);
    await p.settle();
    assert.equal((await p.hostCalls()).length, before + 1);
  } finally {
    await p.close();
  }
});

const hostileNames = [
  "x');window.injected=1;//",
  '<img src=x onerror="window.injected=1">',
  '</div><script>window.injected=1</script>',
  '"><svg onload="window.injected=1">',
];
test('hostile names are shown as text and run nothing', async () => {
  const p = await openPage();
  try {
    for (const name of hostileNames) await p.call('AddMark', LAT, LON, `EVIL_${name}`, '', 2);
    await p.markEventually(p.width / 2, p.height / 2, 2);
    await p.page.mouse.click(p.width / 2, p.height / 2 - 12);
    await p.page.waitForSelector('.mark-line');
    const lines = await p.page.$$eval('.mark-line', (l) =>
      l.map((e) => [e.id, e.textContent, e.querySelectorAll('*').length]));
    assert.deepEqual(lines, hostileNames.map((n) => [`EVIL_${n}_select`, `EVIL_${n}`, 1]));
    await p.page.click('.mark-line >> nth=1');
    await p.call('UpdateMark', `EVIL_${hostileNames[0]}`, 1);
    await p.settle();
    assert.equal(await p.page.evaluate(() => String(window.injected)), 'undefined');
    assert.deepEqual((await p.hostCalls()).filter((c) => c[0] === 'UpdateMark'),
      [['UpdateMark', `EVIL_${hostileNames[1]}`, 3]]);
    assert.deepEqual(p.dialogs, []);
  } finally {
    await p.close();
  }
});
