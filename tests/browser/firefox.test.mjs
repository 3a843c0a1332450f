// The page in Firefox ESR (puppeteer-core over WebDriver BiDi): the checks
// every engine gets (engines.mjs), and Firefox where no sound server
// answers, where its audio never starts; and the loading bar from a
// server that compresses.
import { compressedLoadSuite, engineSuite, silentSuite } from './engines.mjs';

engineSuite('firefox');
silentSuite('firefox');
compressedLoadSuite('firefox');
