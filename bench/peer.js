// SPDX-License-Identifier: GPL-3.0-or-later
// The npm packages bench/peer-bench times adif-dump against, each called
// the way it documents. PEER_DIR is where they are installed.
//   node peer.js adif FILE          adif-parser-ts: prints the number of records
//   node peer.js cabrillo LOG       @ham2k/lib-qson-cabrillo: prints the number of contacts
//   node peer.js compare DUMP LOG   compares each contact's call with
//                                   adif-dump's reading of a Cabrillo log
const fs = require('fs')
const path = require('path')
const { execFileSync } = require('child_process')
const load = (name) => require(require.resolve(name, { paths: [process.env.PEER_DIR] }))

const [mode, a, b] = process.argv.slice(2)
if (mode === 'adif') {
  const { AdifParser } = load('adif-parser-ts')
  const adif = AdifParser.parseAdi(fs.readFileSync(a, 'utf8'))
  console.log((adif.records || []).length)
} else if (mode === 'cabrillo') {
  const { cabrilloToQSON } = load('@ham2k/lib-qson-cabrillo')
  console.log(cabrilloToQSON(fs.readFileSync(a, 'utf8')).qsos.length)
} else if (mode === 'compare') {
  const { cabrilloToQSON } = load('@ham2k/lib-qson-cabrillo')
  const qson = cabrilloToQSON(fs.readFileSync(b, 'utf8'))
  const ours = execFileSync(a, [b], { maxBuffer: 1 << 28 }).toString().split('\n')
    .filter((l) => l.startsWith('{"Year"')).map((l) => JSON.parse(l).fields)
  // The package sorts by time; compare the calls as sets of counts.
  const count = (calls) => calls.reduce((m, c) => m.set(c, (m.get(c) || 0) + 1), new Map())
  const theirs = count(qson.qsos.map((q) => q.their.call))
  const mine = count(ours.map((f) => f.CALL.toUpperCase()))
  let differ = 0
  for (const [call, n] of mine) differ += Math.max(0, n - (theirs.get(call) || 0))
  const noTx = qson.qsos.filter((q) => Number.isNaN(q.our.transmitter)).length
  console.log(`${path.basename(b)}: ours ${ours.length} theirs ${qson.qsos.length} (+${qson.qsosOther.length} X-QSO); ` +
              `calls that differ ${differ}; transmitter NaN ${noTx}`)
} else {
  console.error('usage: node peer.js adif FILE | cabrillo LOG | compare DUMP LOG')
  process.exit(2)
}
