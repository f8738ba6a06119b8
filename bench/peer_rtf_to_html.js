'use strict'
// Drives the npm converter for bench/peers.sh: reads one RTF file and writes its HTML to standard output.
// Usage: NODE_PATH=build/peers/node_modules node bench/peer_rtf_to_html.js INPUT > OUTPUT
const fs = require('fs')
const rtfToHTML = require('@iarna/rtf-to-html')

rtfToHTML.fromStream(fs.createReadStream(process.argv[2]), (err, html) => {
  if (err) {
    console.error(String((err && err.stack) || err))
    process.exit(1)
  }
  process.stdout.write(html)
})
